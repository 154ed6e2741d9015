#include "app/AboutForm.h"

#include "app/ClickLabel.h"
#include "app/DialogFrame.h"
#include "app/HelpCommands.h"
#include "platform/ProgramRegistryKey.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace quorvia {

namespace {

QPixmap ProductLogo() {
    QPixmap logo(380, 64);
    QPainter painter(&logo);
    QLinearGradient sky(0, 0, 380, 0);
    sky.setColorAt(0, QColor(16, 144, 245));
    sky.setColorAt(1, QColor(8, 52, 120));
    painter.fillRect(logo.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 255, 160), 3));
    painter.drawEllipse(QPoint(36, 32), 18, 18);
    painter.drawLine(49, 45, 60, 56);
    QFont title = painter.font();
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(76, 4, 300, 38), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Quorvia"));
    QFont tagline = painter.font();
    tagline.setPixelSize(12);
    tagline.setBold(false);
    painter.setFont(tagline);
    painter.drawText(QRect(78, 40, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Where your site stands in the search engines"));
    return logo;
}

// Labels carry their own font so that the bold heading font of their section stays on the title.
QLabel* AddLabel(QWidget* parent, const QString& text, QRect geometry, bool bold = false) {
    auto* label = new QLabel(text, parent);
    QFont font = parent->window()->font();
    font.setBold(bold);
    label->setFont(font);
    label->setGeometry(geometry);
    return label;
}

TClickLabel* AddLink(QWidget* parent, const QString& text, QRect geometry) {
    auto* link = new TClickLabel(parent);
    link->setText(text);
    QFont font = parent->window()->font();
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    link->setPalette(palette);
    link->setGeometry(geometry);
    return link;
}

QGroupBox* AddSection(QWidget* parent, const QString& heading, QRect geometry) {
    auto* section = new QGroupBox(heading, parent);
    QFont font = section->font();
    font.setBold(true);
    section->setFont(font);
    section->setStyleSheet(QStringLiteral("QGroupBox::title { color: rgb(16, 144, 245); }"));
    section->setGeometry(geometry);
    return section;
}

} // namespace

TAboutForm::TAboutForm(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("About"));

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    panel->setGeometry(8, 8, 445, 310);

    ProgramIcon = new TClickLabel(panel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(ProductLogo());
    ProgramIcon->setGeometry(32, 8, 380, 64);

    QGroupBox* product =
        AddSection(panel, QStringLiteral("  Product Information  "), QRect(8, 80, 429, 72));
    AddLabel(product, QStringLiteral("Version:"), QRect(14, 24, 60, 18), true);
    VersionLabel = AddLabel(product, QString(), QRect(76, 24, 200, 18), true);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    UpdateNameLabel =
        AddLabel(product, QStringLiteral("Knowledge Base"), QRect(14, 46, 260, 18), true);
    UpdateNameLabel->setObjectName(QStringLiteral("UpdateNameLabel"));
    Label2 = AddLink(product, QStringLiteral("Get support"), QRect(330, 24, 90, 18));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label4 = AddLink(product, QStringLiteral("Get updates"), QRect(330, 46, 90, 18));
    Label4->setObjectName(QStringLiteral("Label4"));

    QGroupBox* contact =
        AddSection(panel, QStringLiteral("  Contact Information  "), QRect(8, 158, 429, 96));
    AddLabel(contact, QStringLiteral("Halvex Software"), QRect(14, 22, 400, 16));
    AddLabel(contact, QStringLiteral("12 Harbour Lane, Northfield, NF1 2AB"),
             QRect(14, 40, 400, 16));
    AddLabel(contact, QStringLiteral("Telephone: +1 555 0100"), QRect(14, 58, 400, 16));
    AddLabel(contact,
             QStringLiteral("E-mail: ") +
                 QString::fromUtf8(SupportMailAddress.data(), SupportMailAddress.size()),
             QRect(14, 76, 400, 16));

    AddLabel(panel, QStringLiteral("Copyright \u00A9 2026 Halvex Software. All rights reserved."),
             QRect(8, 262, 429, 16));
    QLabel* legal = AddLabel(panel,
                             QStringLiteral("This program is protected by copyright law. Copying "
                                            "it other than under its distribution terms is "
                                            "prohibited."),
                             QRect(8, 278, 429, 30));
    legal->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(190, 326, 80, 28);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    connect(ProgramIcon, &TClickLabel::clicked, this, &TAboutForm::ProgramIconClick);
    connect(Label2, &TClickLabel::clicked, this, &TAboutForm::Label2Click);
    connect(Label4, &TClickLabel::clicked, this, &TAboutForm::Label4Click);

    MakeFixedDialog(*this, QSize(461, 362));
}

void TAboutForm::ShowInformation(FixedFileVersion version) {
    VersionLabel->setText(QString::fromStdString(VersionText(version)));
    if (const auto key = ProgramRegistryKey::Open())
        UpdateNameLabel->setText(QString::fromStdString(key->ReadString("revision_name")));
}

void TAboutForm::ProgramIconClick() {
    OpenProductPage();
}

void TAboutForm::Label2Click() {
    OpenSupportMail();
}

void TAboutForm::Label4Click() {
    OpenUpdatesPage();
}

void ShowAboutBox(QWidget* owner) {
    TAboutForm form(owner);
    form.ShowInformation(ProgramFileVersion());
    form.exec();
}

} // namespace quorvia
