#include "settings/SettingsForm.h"

#include "platform/ProfileFile.h"
#include "platform/ProgramFolder.h"
#include "support/GuiApplication.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace quorvia;
using quorvia::testing::ScopedEnvironment;

namespace {

class SettingsFormTest : public ::testing::Test {
protected:
    SettingsFormTest() {
        SetProgramFolder(dir.path().toStdString());
        ConnectionSettings = {};
    }
    ~SettingsFormTest() override { ConnectionSettings = {}; }

    void WriteUserAgents(const std::string& lines) {
        std::ofstream(ProgramFolder() + "ua.lst", std::ios::binary) << lines;
    }

    template <typename T> T* Control(const TSettingsForm& form, const char* name) {
        T* control = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QLineEdit* Edit(const TSettingsForm& form, const char* name) {
        return Control<QLineEdit>(form, name);
    }
    QRadioButton* Radio(const TSettingsForm& form, int number) {
        return Control<QRadioButton>(form, ("TBXRadioButton" + std::to_string(number)).c_str());
    }
    QCheckBox* AuthBox(const TSettingsForm& form) {
        return Control<QCheckBox>(form, "UseAuthTBXCheckBox");
    }

    TConnectionSettings Stored(const TSettingsForm& form) {
        TConnectionSettings settings;
        form.StoreSettings(settings);
        return settings;
    }

    QTemporaryDir dir;
    // Every test runs as if the browser had no proxy, unless it says otherwise.
    ScopedEnvironment httpProxy{"http_proxy", std::nullopt};
    ScopedEnvironment httpProxyUpper{"HTTP_PROXY", std::nullopt};
};

TEST_F(SettingsFormTest, ControlsCarryTheirCaptionsInTabOrder) {
    TSettingsForm form(nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(Control<QGroupBox>(form, "GroupBox1")->title(), QStringLiteral(" Connection "));

    const std::vector<std::pair<const char*, const char*>> captions = {
        {"TBXRadioButton1", "Direct connection"},
        {"TBXRadioButton2", "Connect via proxy "},
        {"Label6", "Proxy server:"},
        {"Label7", "Port:"},
        {"TBXRadioButton3", "Use Internet Explorer settings"},
        {"Label1", "Connection timeout:"},
        {"Label8", "seconds"},
        {"Label2", "Try to reconnect:"},
        {"Label9", "times"},
        {"Label3", "User agent:"},
        {"UseAuthTBXCheckBox", "Use name and password for authentication"},
        {"Label4", "Name:"},
        {"Label5", "Password:"},
        {"TBXButton1", "OK"},
        {"TBXButton2", "Cancel"},
    };
    for (const auto& [name, caption] : captions) {
        const QWidget* control = Control<QWidget>(form, name);
        const auto* label = qobject_cast<const QLabel*>(control);
        const auto* button = qobject_cast<const QAbstractButton*>(control);
        EXPECT_EQ(label ? label->text() : button->text(), QString::fromLatin1(caption)) << name;
    }

    const std::vector<std::string> tabOrder = {
        "TBXRadioButton1",    "TBXRadioButton2", "ProxyEdit",        "ProxyPortEdit",
        "TBXRadioButton3",    "TimeoutEdit",     "RetryConnectEdit", "UserAgentComboBox",
        "UseAuthTBXCheckBox", "UserNameEdit",    "UserPasswordEdit", "TBXButton1",
        "TBXButton2"};
    std::vector<std::string> chain;
    QWidget* widget = Control<QWidget>(form, "TBXRadioButton1");
    while (chain.size() < tabOrder.size()) {
        // Labels take no focus; the combo box's own line edit has no name. Radio buttons keep
        // their place in the chain, though only the chosen one is a Tab stop.
        if (widget->focusPolicy() != Qt::NoFocus && !widget->objectName().isEmpty())
            chain.push_back(widget->objectName().toStdString());
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(chain, tabOrder);

    EXPECT_TRUE(Control<QPushButton>(form, "TBXButton1")->isDefault());
    EXPECT_EQ(Edit(form, "UserPasswordEdit")->echoMode(), QLineEdit::Password);
    Edit(form, "UserPasswordEdit")->setText(QStringLiteral("abc"));
    EXPECT_EQ(Edit(form, "UserPasswordEdit")->displayText(), QStringLiteral("***"));
    for (const char* name : {"ProxyEdit", "ProxyPortEdit", "UserNameEdit", "UserPasswordEdit"})
        EXPECT_FALSE(Edit(form, name)->isEnabled()) << name;
}

TEST_F(SettingsFormTest, OpeningShowsTheRecord) {
    WriteUserAgents("Agent One\r\nAgent Two\r\n");
    TConnectionSettings settings;
    settings.Proxy = "proxy.local";
    settings.ProxyPort = 0;
    settings.timeout = 45;
    settings.RetryConnect = -1;
    settings.UserAgent = "My own agent";
    settings.Username = "ann";
    settings.Password = "secret";
    settings.UseAuth = 1;
    settings.ConnectType = 2;

    TSettingsForm form(nullptr);
    form.ShowSettings(settings);

    EXPECT_EQ(Edit(form, "ProxyEdit")->text(), QStringLiteral("proxy.local"));
    EXPECT_EQ(Edit(form, "ProxyPortEdit")->text(), QString()); // port 0 opens empty
    EXPECT_EQ(Edit(form, "TimeoutEdit")->text(), QStringLiteral("45"));
    EXPECT_EQ(Edit(form, "RetryConnectEdit")->text(), QStringLiteral("-1"));
    auto* agents = Control<QComboBox>(form, "UserAgentComboBox");
    ASSERT_EQ(agents->count(), 2);
    EXPECT_EQ(agents->itemText(0), QStringLiteral("Agent One"));
    EXPECT_EQ(agents->itemText(1), QStringLiteral("Agent Two"));
    EXPECT_EQ(agents->currentText(), QStringLiteral("My own agent")); // not in ua.lst, still shown
    EXPECT_TRUE(AuthBox(form)->isChecked());
    EXPECT_TRUE(Edit(form, "UserNameEdit")->isEnabled());
    EXPECT_EQ(Edit(form, "UserPasswordEdit")->text(), QStringLiteral("secret"));
    EXPECT_TRUE(Radio(form, 2)->isChecked());
    EXPECT_TRUE(Edit(form, "ProxyEdit")->isEnabled());
    EXPECT_TRUE(Edit(form, "ProxyPortEdit")->isEnabled());

    // Storing without a change gives the record back, the empty port as 0.
    EXPECT_EQ(Stored(form), settings);
}

TEST_F(SettingsFormTest, UnknownConnectTypeAndUseAuthShowAsBrowserProxyAndUnchecked) {
    TConnectionSettings settings;
    settings.ConnectType = 7;
    settings.UseAuth = 2;
    TSettingsForm form(nullptr);
    form.ShowSettings(settings);

    EXPECT_TRUE(Radio(form, 3)->isChecked());
    EXPECT_FALSE(AuthBox(form)->isChecked());
    EXPECT_EQ(Stored(form).ConnectType, 3);
    EXPECT_EQ(Stored(form).UseAuth, 0);
}

TEST_F(SettingsFormTest, NumberFieldsThatAreNotWholeNumbersGiveTheirDefaults) {
    struct Case {
        const char* port;
        const char* timeout;
        const char* retries;
        std::int32_t expectedPort, expectedTimeout, expectedRetries;
    };
    const Case cases[] = {
        {"", "abc", "", 0, 30, 2},
        {"80x", "1.5", "two", 0, 30, 2},
        {"8080", "-5", "0", 8080, -5, 0},
    };
    for (const Case& c : cases) {
        TSettingsForm form(nullptr);
        form.ShowSettings({});
        Edit(form, "ProxyPortEdit")->setText(QString::fromLatin1(c.port));
        Edit(form, "TimeoutEdit")->setText(QString::fromLatin1(c.timeout));
        Edit(form, "RetryConnectEdit")->setText(QString::fromLatin1(c.retries));
        const TConnectionSettings stored = Stored(form);
        EXPECT_EQ(stored.ProxyPort, c.expectedPort) << c.port;
        EXPECT_EQ(stored.timeout, c.expectedTimeout) << c.timeout;
        EXPECT_EQ(stored.RetryConnect, c.expectedRetries) << c.retries;
    }
}

TEST_F(SettingsFormTest, UncheckingAuthenticationDisablesButKeepsNameAndPassword) {
    TSettingsForm form(nullptr);
    form.ShowSettings({});
    AuthBox(form)->setChecked(true);
    ASSERT_TRUE(Edit(form, "UserNameEdit")->isEnabled());
    Edit(form, "UserNameEdit")->setText(QStringLiteral("bob"));
    Edit(form, "UserPasswordEdit")->setText(QStringLiteral("pw"));
    AuthBox(form)->setChecked(false);

    EXPECT_FALSE(Edit(form, "UserNameEdit")->isEnabled());
    EXPECT_FALSE(Edit(form, "UserPasswordEdit")->isEnabled());
    const TConnectionSettings stored = Stored(form);
    EXPECT_EQ(stored.Username, "bob");
    EXPECT_EQ(stored.Password, "pw");
    EXPECT_EQ(stored.UseAuth, 0);
}

TEST_F(SettingsFormTest, BrowserProxyFillsTheDisabledProxyFields) {
    ScopedEnvironment proxy("http_proxy", "http://cache.lan:3128/");
    TConnectionSettings settings;
    settings.Proxy = "typed.proxy";
    settings.ProxyPort = 81;
    settings.ConnectType = 3;
    TSettingsForm form(nullptr);
    form.ShowSettings(settings);

    EXPECT_EQ(Edit(form, "ProxyEdit")->text(), QStringLiteral("cache.lan"));
    EXPECT_EQ(Edit(form, "ProxyPortEdit")->text(), QStringLiteral("3128"));
    EXPECT_FALSE(Edit(form, "ProxyEdit")->isEnabled());

    // Back to the own proxy: the browser's values stay for editing; a typed proxy is lost
    // when switching to the browser's settings again.
    Radio(form, 2)->setChecked(true);
    EXPECT_TRUE(Edit(form, "ProxyEdit")->isEnabled());
    EXPECT_EQ(Edit(form, "ProxyEdit")->text(), QStringLiteral("cache.lan"));
    Edit(form, "ProxyEdit")->setText(QStringLiteral("mine.lan"));
    Edit(form, "ProxyPortEdit")->setText(QStringLiteral("8000"));
    Radio(form, 3)->setChecked(true);
    EXPECT_EQ(Edit(form, "ProxyEdit")->text(), QStringLiteral("cache.lan"));
    Radio(form, 1)->setChecked(true);
    EXPECT_FALSE(Edit(form, "ProxyEdit")->isEnabled());
    EXPECT_EQ(Edit(form, "ProxyEdit")->text(), QStringLiteral("cache.lan"));
    EXPECT_EQ(Stored(form).Proxy, "cache.lan"); // stored even from a disabled field
    EXPECT_EQ(Stored(form).ConnectType, 1);
}

// Runs the command with the dialog answered by `answer` once its modal loop has started.
void RunSettingsCommand(const std::function<void(TSettingsForm&)>& answer) {
    QTimer::singleShot(0, [answer] {
        auto* form = qobject_cast<TSettingsForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        answer(*form);
    });
    EditConnectionSettings(nullptr);
}

TEST_F(SettingsFormTest, OkStoresSavesAndReloads) {
    ScopedEnvironment proxy("http_proxy", "browser.lan:8080");
    RunSettingsCommand([this](TSettingsForm& form) {
        Radio(form, 2)->setChecked(true);
        Edit(form, "ProxyEdit")->setText(QStringLiteral("own.lan"));
        Edit(form, "ProxyPortEdit")->setText(QStringLiteral("3128"));
        Edit(form, "TimeoutEdit")->setText(QStringLiteral("12"));
        Control<QPushButton>(form, "TBXButton1")->click();
    });
    EXPECT_EQ(ConnectionSettings.Proxy, "own.lan");
    EXPECT_EQ(ConnectionSettings.ProxyPort, 3128);
    EXPECT_EQ(ConnectionSettings.timeout, 12);
    EXPECT_EQ(ConnectionSettings.ConnectType, 2);
    const ProfileFile ini(ProgramFolder() + "set.ini");
    EXPECT_EQ(ini.ReadString("inet", "Proxy", ""), "own.lan");
    EXPECT_EQ(ini.ReadInteger("inet", "timeout", 0), 12);
    EXPECT_EQ(ini.ReadInteger("inet", "ConnectType", 0), 2);

    // Under the browser's settings the file keeps what the dialog showed, and the reload puts
    // the browser's proxy of the moment into the record.
    RunSettingsCommand([this](TSettingsForm& form) {
        Radio(form, 3)->setChecked(true);
        Edit(form, "ProxyEdit")->setText(QStringLiteral("shown.lan"));
        ::setenv("http_proxy", "later.lan:9090", 1);
        Control<QPushButton>(form, "TBXButton1")->click();
    });
    EXPECT_EQ(ini.ReadString("inet", "Proxy", ""), "shown.lan");
    EXPECT_EQ(ConnectionSettings.Proxy, "later.lan");
    EXPECT_EQ(ConnectionSettings.ProxyPort, 9090);
}

TEST_F(SettingsFormTest, CancelChangesNothing) {
    RunSettingsCommand([this](TSettingsForm& form) {
        Edit(form, "TimeoutEdit")->setText(QStringLiteral("99"));
        Control<QPushButton>(form, "TBXButton2")->click();
    });
    EXPECT_EQ(ConnectionSettings, TConnectionSettings{});
    EXPECT_FALSE(std::filesystem::exists(ProgramFolder() + "set.ini"));
}

} // namespace
