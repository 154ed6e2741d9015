#include "settings/SettingsForm.h"

#include "app/DialogFrame.h"
#include "app/RadioGroupKeys.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvia {

namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

std::string FromQt(const QString& text) {
    return text.toStdString();
}

std::int32_t WholeNumberOr(const QLineEdit* edit, std::int32_t fallback) {
    return ParseWholeNumber(FromQt(edit->text())).value_or(fallback);
}

QLabel* NewLabel(const char* caption, QWidget* parent, const char* name) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLineEdit* NewEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

// Shows each character of a password as "*" instead of the style's dot.
class TStarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

void EnableAll(std::initializer_list<QWidget*> controls, bool enabled) {
    for (QWidget* control : controls)
        control->setEnabled(enabled);
}

} // namespace

TSettingsForm::TSettingsForm(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Settings"));

    // Controls are made in tab order, top to bottom.
    GroupBox1 = new QGroupBox(QStringLiteral(" Connection "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    TBXRadioButton1 = new QRadioButton(QStringLiteral("Direct connection"), GroupBox1);
    TBXRadioButton1->setObjectName(QStringLiteral("TBXRadioButton1"));
    TBXRadioButton2 = new QRadioButton(QStringLiteral("Connect via proxy "), GroupBox1);
    TBXRadioButton2->setObjectName(QStringLiteral("TBXRadioButton2"));
    Label6 = NewLabel("Proxy server:", GroupBox1, "Label6");
    ProxyEdit = NewEdit("ProxyEdit", GroupBox1);
    Label7 = NewLabel("Port:", GroupBox1, "Label7");
    ProxyPortEdit = NewEdit("ProxyPortEdit", GroupBox1);
    ProxyPortEdit->setMaximumWidth(70);
    TBXRadioButton3 = new QRadioButton(QStringLiteral("Use Internet Explorer settings"), GroupBox1);
    TBXRadioButton3->setObjectName(QStringLiteral("TBXRadioButton3"));

    QLabel* label1 = NewLabel("Connection timeout:", this, "Label1");
    TimeoutEdit = NewEdit("TimeoutEdit", this);
    QLabel* label8 = NewLabel("seconds", this, "Label8");
    QLabel* label2 = NewLabel("Try to reconnect:", this, "Label2");
    RetryConnectEdit = NewEdit("RetryConnectEdit", this);
    QLabel* label9 = NewLabel("times", this, "Label9");
    for (QLineEdit* number : {TimeoutEdit, RetryConnectEdit})
        number->setMaximumWidth(60);
    QLabel* label3 = NewLabel("User agent:", this, "Label3");
    UserAgentComboBox = new QComboBox(this);
    UserAgentComboBox->setObjectName(QStringLiteral("UserAgentComboBox"));
    UserAgentComboBox->setEditable(true);
    UserAgentComboBox->setInsertPolicy(QComboBox::NoInsert);
    UserAgentComboBox->setMinimumWidth(340);
    UseAuthTBXCheckBox =
        new QCheckBox(QStringLiteral("Use name and password for authentication"), this);
    UseAuthTBXCheckBox->setObjectName(QStringLiteral("UseAuthTBXCheckBox"));
    Label4 = NewLabel("Name:", this, "Label4");
    UserNameEdit = NewEdit("UserNameEdit", this);
    Label5 = NewLabel("Password:", this, "Label5");
    UserPasswordEdit = NewEdit("UserPasswordEdit", this);
    UserPasswordEdit->setEchoMode(QLineEdit::Password);
    auto* starStyle = new TStarPasswordStyle;
    starStyle->setParent(UserPasswordEdit);
    UserPasswordEdit->setStyle(starStyle);
    TBXButton1 = new QPushButton(QStringLiteral("OK"), this);
    TBXButton1->setObjectName(QStringLiteral("TBXButton1"));
    TBXButton1->setDefault(true);
    TBXButton2 = new QPushButton(QStringLiteral("Cancel"), this);
    TBXButton2->setObjectName(QStringLiteral("TBXButton2"));

    Label6->setBuddy(ProxyEdit);
    Label7->setBuddy(ProxyPortEdit);
    label1->setBuddy(TimeoutEdit);
    label2->setBuddy(RetryConnectEdit);
    label3->setBuddy(UserAgentComboBox);
    Label4->setBuddy(UserNameEdit);
    Label5->setBuddy(UserPasswordEdit);

    auto* proxyRow = new QHBoxLayout;
    proxyRow->setContentsMargins(20, 0, 0, 0);
    proxyRow->addWidget(Label6);
    proxyRow->addWidget(ProxyEdit, 1);
    proxyRow->addWidget(Label7);
    proxyRow->addWidget(ProxyPortEdit);
    auto* connection = new QVBoxLayout(GroupBox1);
    connection->addWidget(TBXRadioButton1);
    connection->addWidget(TBXRadioButton2);
    connection->addLayout(proxyRow);
    connection->addWidget(TBXRadioButton3);

    auto* fields = new QGridLayout;
    fields->addWidget(label1, 0, 0);
    fields->addWidget(TimeoutEdit, 0, 1);
    fields->addWidget(label8, 0, 2);
    fields->addWidget(label2, 1, 0);
    fields->addWidget(RetryConnectEdit, 1, 1);
    fields->addWidget(label9, 1, 2);
    fields->addWidget(label3, 2, 0);
    fields->addWidget(UserAgentComboBox, 2, 1, 1, 3);
    fields->setColumnStretch(3, 1);

    auto* account = new QGridLayout;
    account->setContentsMargins(20, 0, 0, 0);
    account->addWidget(Label4, 0, 0);
    account->addWidget(UserNameEdit, 0, 1);
    account->addWidget(Label5, 1, 0);
    account->addWidget(UserPasswordEdit, 1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(TBXButton1);
    buttons->addWidget(TBXButton2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(fields);
    layout->addWidget(UseAuthTBXCheckBox);
    layout->addLayout(account);
    layout->addLayout(buttons);

    QWidget* tabOrder[] = {TBXRadioButton1,    TBXRadioButton2, ProxyEdit,        ProxyPortEdit,
                           TBXRadioButton3,    TimeoutEdit,     RetryConnectEdit, UserAgentComboBox,
                           UseAuthTBXCheckBox, UserNameEdit,    UserPasswordEdit, TBXButton1,
                           TBXButton2};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // A switch unchecks one button and checks another; the handler runs once, for the latter.
    for (QRadioButton* button : {TBXRadioButton1, TBXRadioButton2, TBXRadioButton3})
        connect(button, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                TBXRadioButton2Change();
        });
    new TRadioGroupKeys({TBXRadioButton1, TBXRadioButton2, TBXRadioButton3});
    connect(UseAuthTBXCheckBox, &QCheckBox::toggled, this,
            &TSettingsForm::UseAuthTBXCheckBoxChange);
    connect(TBXButton1, &QPushButton::clicked, this, &QDialog::accept);
    connect(TBXButton2, &QPushButton::clicked, this, &QDialog::reject);

    TBXRadioButton2Change();
    UseAuthTBXCheckBoxChange();
    MakeFixedDialog(*this);
}

void TSettingsForm::ShowSettings(const TConnectionSettings& settings) {
    ProxyEdit->setText(ToQt(settings.Proxy));
    ProxyPortEdit->setText(settings.ProxyPort != 0 ? QString::number(settings.ProxyPort)
                                                   : QString());
    TimeoutEdit->setText(QString::number(settings.timeout));
    RetryConnectEdit->setText(QString::number(settings.RetryConnect));
    UserAgentComboBox->clear();
    for (const std::string& agent : ReadLineList(ShippedFile("ua.lst")))
        UserAgentComboBox->addItem(ToQt(agent));
    // Entries alike at both ends must stay apart: cut at their ends, in a list wide enough for
    // the longest where the screen allows.
    QAbstractItemView* agents = UserAgentComboBox->view();
    agents->setTextElideMode(Qt::ElideRight);
    const int widest =
        agents->sizeHintForColumn(0) + agents->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    const QScreen* screen = UserAgentComboBox->screen();
    agents->setMinimumWidth(screen ? std::min(widest, screen->availableGeometry().width() - 20)
                                   : widest);
    UserAgentComboBox->setEditText(ToQt(settings.UserAgent));
    UserAgentComboBox->lineEdit()->setCursorPosition(0); // show the text from its start
    if (settings.UseAuth == 1)
        UseAuthTBXCheckBox->setChecked(true);
    UserNameEdit->setText(ToQt(settings.Username));
    UserPasswordEdit->setText(ToQt(settings.Password));
    QRadioButton* connectType = settings.ConnectType == 1   ? TBXRadioButton1
                                : settings.ConnectType == 2 ? TBXRadioButton2
                                                            : TBXRadioButton3;
    connectType->setChecked(true);
}

void TSettingsForm::StoreSettings(TConnectionSettings& settings) const {
    settings.Proxy = FromQt(ProxyEdit->text());
    settings.ProxyPort = WholeNumberOr(ProxyPortEdit, 0);
    settings.timeout = WholeNumberOr(TimeoutEdit, TConnectionSettings{}.timeout);
    settings.RetryConnect = WholeNumberOr(RetryConnectEdit, TConnectionSettings{}.RetryConnect);
    settings.UserAgent = FromQt(UserAgentComboBox->currentText());
    settings.Username = FromQt(UserNameEdit->text());
    settings.Password = FromQt(UserPasswordEdit->text());
    settings.UseAuth = UseAuthTBXCheckBox->isChecked() ? 1 : 0;
    settings.ConnectType = TBXRadioButton1->isChecked() ? 1 : TBXRadioButton2->isChecked() ? 2 : 3;
}

void TSettingsForm::TBXRadioButton2Change() {
    const bool viaProxy = TBXRadioButton2->isChecked();
    EnableAll({Label6, ProxyEdit, Label7, ProxyPortEdit}, viaProxy);
    if (TBXRadioButton3->isChecked()) {
        const TIEProxy browserProxy = ReadIEProxy();
        if (browserProxy.opened) {
            ProxyEdit->setText(ToQt(browserProxy.host));
            ProxyPortEdit->setText(ToQt(browserProxy.port));
        }
    }
}

void TSettingsForm::UseAuthTBXCheckBoxChange() {
    EnableAll({Label4, UserNameEdit, Label5, UserPasswordEdit}, UseAuthTBXCheckBox->isChecked());
}

void EditConnectionSettings(QWidget* owner) {
    TSettingsForm form(owner);
    form.ShowSettings(ConnectionSettings);
    if (form.exec() != QDialog::Accepted)
        return;
    form.StoreSettings(ConnectionSettings);
    SaveSettings();
    LoadSettings();
}

} // namespace quorvia
