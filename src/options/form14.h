#pragma once
#include <QDialog>
#include <QHash>
#include <QList>

class QCheckBox;
class QGroupBox;
class QPushButton;
class SecondaryWindows;
struct Desktop;

// The Options window: the eight yes/no preferences, the user name, the
// special setting, the help file and the About window. The preferences are
// written only by OK, those the user did not change as the file holds them
// then; the user name and the special setting at once.
class Form14 : public QDialog {
    Q_OBJECT
public:
    // The secondary windows leave keep-on-top while the window is open.
    Form14(QWidget* owner, const SecondaryWindows& windows);
    ~Form14() override;

    // Opens the window modally over owner and returns when it is closed.
    static void showModal(QWidget* owner, const SecondaryWindows& windows);

    void Form_Load();
    void Form_Unload();
    void Command3_Click();  // OK
    void Command8_Click();  // change the user name
    void Command11_Click(); // Cancel
    void Command12_Click(); // special setting
    void Command13_Click(); // help contents
    void Command14_Click(); // About

    QGroupBox* Frame5;
    QGroupBox* Frame4;
    QGroupBox* Frame6;
    QGroupBox* Frame7;
    QGroupBox* Frame8;
    QGroupBox* Frame9;
    QGroupBox* Frame10;
    QGroupBox* Frame11;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QCheckBox* Check4;
    QCheckBox* Check5;
    QCheckBox* Check6;
    QCheckBox* Check7;
    QCheckBox* Check8;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
    QPushButton* Command8;
    QPushButton* Command9;
    QPushButton* Command10;
    QPushButton* Command15;
    QPushButton* Command16;
    QPushButton* Command3;
    QPushButton* Command11;
    QPushButton* Command13;
    QPushButton* Command12;
    QPushButton* Command14;

    QString CommonDialog1HelpFile;
    // The topic F1 opens on each control that has one.
    QHash<QWidget*, int> helpTopics;

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Preference {
        QCheckBox* box;
        QString key;
    };
    QGroupBox* frame(const QString& caption, double left, double top, QCheckBox*& box,
                     const QString& boxCaption, QPushButton*& help, int topic);
    QPushButton* bottomButton(const QString& caption, double left, int topic);
    void showUserName(const QString& name);
    QList<Preference> preferences() const;
    const Desktop& desktop() const;
    QHash<QCheckBox*, Qt::CheckState> openedStates;
    bool unloaded = false;
    const SecondaryWindows& windows;
};
