#pragma once
// The Settings dialog: edits the connection settings. It is made anew for every use; only OK
// changes the record, which is then saved to "set.ini" and read back from it.

#include "settings/ConnectionSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quorvia {

class TSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsForm(QWidget* owner);

    // Puts the record's values into the controls and fills the user-agent list from "ua.lst".
    void ShowSettings(const TConnectionSettings& settings);
    // Takes the controls' values into the record, field by field, numbers that are not whole
    // numbers giving their defaults (the port 0).
    void StoreSettings(TConnectionSettings& settings) const;

private slots:
    // Shared by the three connection buttons.
    void TBXRadioButton2Change();
    void UseAuthTBXCheckBoxChange();

private:
    QGroupBox* GroupBox1;
    QRadioButton* TBXRadioButton1;
    QRadioButton* TBXRadioButton2;
    QLabel* Label6;
    QLineEdit* ProxyEdit;
    QLabel* Label7;
    QLineEdit* ProxyPortEdit;
    QRadioButton* TBXRadioButton3;
    QLineEdit* TimeoutEdit;
    QLineEdit* RetryConnectEdit;
    QComboBox* UserAgentComboBox;
    QCheckBox* UseAuthTBXCheckBox;
    QLabel* Label4;
    QLineEdit* UserNameEdit;
    QLabel* Label5;
    QLineEdit* UserPasswordEdit;
    QPushButton* TBXButton1;
    QPushButton* TBXButton2;
};

// The "Settings..." command: shows the dialog for ConnectionSettings; on OK stores the values,
// then SaveSettings and LoadSettings. A failed save propagates (the record keeps the values).
void EditConnectionSettings(QWidget* owner);

} // namespace quorvia
