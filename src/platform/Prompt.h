#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <deque>
#include <functional>
#include <stdexcept>

class QDialog;
class QWidget;

namespace platform {

// Message-box styles and answers, numbered as the program's code numbers them.
enum MessageBoxStyle : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONHAND = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_ICONASTERISK = 0x40,
    MB_DEFBUTTON1 = 0x0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_TYPEMASK = 0xF,
    MB_ICONMASK = 0xF0,
    MB_DEFMASK = 0xF00,
};

enum MessageBoxAnswer : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
};

// One prompt as it was shown: a message box, a file or folder choice, a modal
// dialog or a beep.
struct PromptRecord
{
    enum class Kind { MessageBox, OpenFile, SaveFile, Folder, Dialog, Beep };
    Kind kind = Kind::MessageBox;
    QString text;     // message text, or the dialog's object name
    QString caption;  // caption, or the file dialog's title
    QString filter;   // the file dialog's filter, in the dialog's own form
    QString selectedFilter; // the filter entry the file dialog opened on
    unsigned flags = 0;
    int answer = 0;
};

// Thrown in tests when a prompt appears that the test did not answer, so the
// test fails instead of hanging on an invisible window.
class UnansweredPrompt : public std::runtime_error
{
public:
    explicit UnansweredPrompt(const QString &what) : std::runtime_error(what.toStdString()) {}
};

// Every message box, beep, file choice and modal dialog of the program goes
// through here. In the program they show real windows; under a TestResponder
// they are answered from its queue and recorded.
class Prompt
{
public:
    // The caption used when a message box is given none (the program's title).
    static void setDefaultCaption(const QString &caption);
    static QString defaultCaption();

    static int messageBox(const QString &text, const QString &caption = QString(), unsigned style = MB_OK);
    static void beep();

    // Empty text when the user cancels.
    static QString openFileName(const QString &title, const QString &folder, const QString &filter,
                                QWidget *parent = nullptr);
    static QString saveFileName(const QString &title, const QString &suggested, const QString &filter,
                                QWidget *parent = nullptr);
    // The same with a choice of file type: the dialog opens on the filter
    // entry *selectedFilter names and gives back the entry the user left
    // selected. Choosing another type puts its extension on the name typed.
    static QString saveFileName(const QString &title, const QString &suggested, const QString &filter,
                                QString *selectedFilter, QWidget *parent = nullptr);
    static QString folderName(const QString &title, const QString &folder, QWidget *parent = nullptr);

    // Runs a modal dialog and returns its result (QDialog::Accepted/Rejected or
    // the code given to done()).
    static int execDialog(QDialog &dialog);
};

// Installs itself for its lifetime. Answers are used in order; a prompt with
// no queued answer throws UnansweredPrompt.
class TestResponder
{
public:
    using DialogHandler = std::function<int(QDialog &)>;

    TestResponder();
    ~TestResponder();
    TestResponder(const TestResponder &) = delete;
    TestResponder &operator=(const TestResponder &) = delete;

    static TestResponder *active();

    void answer(int id) { m_answers.push_back(id); }
    void answerFile(const QString &path) { m_files.push_back(path); m_fileTypes.push_back(QString()); }
    // A save choice answered with a file type: the filter entry that starts
    // with fileType is the one the user leaves selected (empty: the one the
    // dialog opened on).
    void answerFile(const QString &path, const QString &fileType)
    {
        m_files.push_back(path);
        m_fileTypes.push_back(fileType);
    }
    // The handler gets the dialog, already set up and shown offscreen, drives
    // its controls and returns the dialog's result.
    void onDialog(DialogHandler handler) { m_dialogs.push_back(std::move(handler)); }

    const QList<PromptRecord> &shown() const { return m_shown; }
    QStringList texts() const;
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    int pendingAnswers() const { return int(m_answers.size() + m_files.size() + m_dialogs.size()); }
    void clear() { m_shown.clear(); }

    // Used by Prompt.
    int takeAnswer(const PromptRecord &record);
    QString takeFile(const PromptRecord &record);
    QString takeFile(const PromptRecord &record, QString *selectedFilter);
    int runDialog(QDialog &dialog);
    void record(const PromptRecord &record) { m_shown.append(record); }

private:
    std::deque<int> m_answers;
    std::deque<QString> m_files;
    std::deque<QString> m_fileTypes;
    std::deque<DialogHandler> m_dialogs;
    QList<PromptRecord> m_shown;
    TestResponder *m_previous = nullptr;
};

} // namespace platform
