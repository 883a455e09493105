#pragma once
#include <QDialog>
#include <QString>

class Form1;
struct Desktop;
class QGroupBox;
class QPushButton;
class QRadioButton;

// The Filetype Select window: picks pictures or animations for the main
// window and edits the two user patterns. Nothing reaches the main window or
// the settings before OK; the close box applies nothing.
class Form13 : public QDialog {
    Q_OBJECT
public:
    explicit Form13(Form1* main);
    ~Form13() override;

    // Opens the window modally over the main window and returns when it is
    // closed.
    static void showModal(Form1* main);

    void Form_Load();
    void Form_Unload();
    void Command1_Click(); // OK
    void Command3_Click(); // Help
    void Command4_Click(); // SetAni
    void Command5_Click(); // SetPic
    void Command6_Click(); // Defaults

    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QPushButton* Command5;
    QPushButton* Command4;
    QPushButton* Command6;
    QPushButton* Command3;
    QPushButton* Command1;

    // Patterns entered in this visit, empty when none.
    QString Label1;
    QString Label2;
    QString CommonDialog1HelpFile;

protected:
    void done(int result) override;

private:
    void applyKind();
    const Desktop& desktop() const;
    Form1* main;
    bool unloaded = false;
};
