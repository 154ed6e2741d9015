#include "app/AnimationFiles.h"

#include <QDir>
#include <QFile>
#include <QUuid>

namespace quorvia {

QString NewGuidText() {
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

QStringList WriteAnimationFiles(const QString& tempFolder) {
    QStringList paths;
    for (const char* resource : {":/1.avi", ":/2.avi", ":/3.avi"}) {
        QFile source(QString::fromLatin1(resource));
        if (!source.open(QIODevice::ReadOnly))
            break;
        const QString path = QDir(tempFolder).filePath(NewGuidText());
        QFile target(path);
        if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
            break;
        paths << path;
        if (target.write(source.readAll()) != source.size() || !target.flush())
            break;
    }
    return paths;
}

void DeleteAnimationFiles(const QStringList& paths) {
    for (const QString& path : paths)
        QFile::remove(path);
}

} // namespace quorvia
