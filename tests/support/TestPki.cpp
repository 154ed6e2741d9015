#include "support/TestPki.h"

#include <QFile>
#include <QProcess>
#include <QSslSocket>
#include <QStringList>
#include <QTemporaryDir>

#include <stdexcept>

namespace quorvia::testing {

namespace {

const QString Curve = QStringLiteral("ec_paramgen_curve:prime256v1");

void RunOpenssl(const QString& folder, const QStringList& arguments) {
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (!openssl.waitForStarted(10000))
        throw std::runtime_error("TLS tests need the openssl command: install the Debian package "
                                 "openssl (scripts/install-deps.sh does)");
    openssl.waitForFinished(30000);
    if (openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0)
        throw std::runtime_error("openssl " + arguments.join(QLatin1Char(' ')).toStdString() +
                                 " failed: " + openssl.readAllStandardError().toStdString());
}

void Write(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

TTestPki MakePki(const QString& folder) {
    if (!QSslSocket::supportsSsl())
        throw std::runtime_error(
            "Qt has no working TLS backend (available: " +
            QSslSocket::availableBackends().join(QStringLiteral(", ")).toStdString() +
            "): install the Debian packages libqt6network6 (its OpenSSL plugin) and libssl3");
    const QString names =
        QStringLiteral("subjectAltName=DNS:%1,IP:127.0.0.1").arg(QString::fromLatin1(TestTlsHost));
    const QString subject = QStringLiteral("/CN=%1").arg(QString::fromLatin1(TestTlsHost));
    Write(folder + QStringLiteral("/server.cnf"),
          names.toUtf8() + "\nbasicConstraints=critical,CA:FALSE\n"
                           "keyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n");
    const QStringList newKey = {QStringLiteral("-newkey"), QStringLiteral("ec"),
                                QStringLiteral("-pkeyopt"), Curve, QStringLiteral("-nodes")};
    const QStringList days = {QStringLiteral("-days"), QStringLiteral("30")};
    RunOpenssl(folder, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + newKey + days +
                           QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"),
                                       QStringLiteral("-out"), QStringLiteral("ca.pem"),
                                       QStringLiteral("-subj"), QStringLiteral("/CN=Test CA"),
                                       QStringLiteral("-addext"),
                                       QStringLiteral("basicConstraints=critical,CA:TRUE"),
                                       QStringLiteral("-addext"),
                                       QStringLiteral("keyUsage=critical,keyCertSign")});
    RunOpenssl(folder, QStringList{QStringLiteral("req")} + newKey +
                           QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"),
                                       QStringLiteral("-out"), QStringLiteral("server.csr"),
                                       QStringLiteral("-subj"), subject});
    RunOpenssl(folder, QStringList{QStringLiteral("x509"), QStringLiteral("-req"),
                                   QStringLiteral("-in"), QStringLiteral("server.csr"),
                                   QStringLiteral("-CA"), QStringLiteral("ca.pem"),
                                   QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                                   QStringLiteral("-set_serial"), QStringLiteral("2"),
                                   QStringLiteral("-extfile"), QStringLiteral("server.cnf"),
                                   QStringLiteral("-out"), QStringLiteral("server.pem")} +
                           days);
    RunOpenssl(folder,
               QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + newKey + days +
                   QStringList{QStringLiteral("-keyout"), QStringLiteral("self.key"),
                               QStringLiteral("-out"), QStringLiteral("self.pem"),
                               QStringLiteral("-subj"), subject, QStringLiteral("-addext"), names});
    const auto path = [&folder](const char* name) {
        return (folder + QLatin1Char('/') + QLatin1String(name)).toStdString();
    };
    return {path("ca.pem"),
            {path("server.pem"), path("server.key")},
            {path("self.pem"), path("self.key")}};
}

} // namespace

const TTestPki& TestPki() {
    static const QTemporaryDir folder;
    static const TTestPki pki = MakePki(folder.path());
    return pki;
}

} // namespace quorvia::testing
