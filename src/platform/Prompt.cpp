#include "platform/Prompt.h"
#include "platform/PromptWatch.h"

#include "platform/LongRun.h"
#include "platform/db/HeldFileAudit.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>
#include <QtCore/QRegularExpression>
#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtCore/QSet>
#include <QtWidgets/QMessageBox>

#include <cerrno>
#include <cstdio>
#include <memory>

#include <poll.h>
#include <unistd.h>

namespace platform {
namespace {
QString g_defaultCaption = QStringLiteral("Tavrel");
TestResponder *g_responder = nullptr;

QWidget *activeParent(QWidget *parent)
{
    if (parent)
        return parent;
    return QApplication::activeWindow();
}

// The answers of each button set, in the order the buttons stand.
QList<int> answersOf(unsigned style)
{
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

QString buttonName(int answer)
{
    switch (answer) {
    case IDOK: return QStringLiteral("OK");
    case IDCANCEL: return QStringLiteral("Cancel");
    case IDABORT: return QStringLiteral("Abort");
    case IDRETRY: return QStringLiteral("Retry");
    case IDIGNORE: return QStringLiteral("Ignore");
    case IDYES: return QStringLiteral("Yes");
    default: return QStringLiteral("No");
    }
}

// One line of standard input, without its line end; false when there is
// none: no standard input, its end, or (when it is no terminal, where a
// person would type) nothing given within a moment.
bool readAnswerLine(QByteArray &line)
{
    line.clear();
    const bool terminal = ::isatty(STDIN_FILENO) == 1;
    for (;;) {
        if (!terminal) {
            struct pollfd wait {STDIN_FILENO, POLLIN, 0};
            const int ready = ::poll(&wait, 1, line.isEmpty() ? 200 : 1000);
            if (ready <= 0 || !(wait.revents & (POLLIN | POLLHUP)))
                return !line.isEmpty();
        }
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return !line.isEmpty();
        if (c == '\n')
            return true;
        if (c != '\r')
            line += c;
    }
}

// Without a window system (the command-line tools) a message is written to
// standard error. A message with only OK is answered OK. A question is the
// user's: its answer is read from standard input (a line beginning with the
// first letter of a button, or an empty line for the default button). With
// no answer there the default button is taken, as pressing Enter would, but
// only once for a question: asked again (a "try again?" after a retry that
// changed nothing) it would be answered so for ever, and the tool never
// answers its own question in a loop. It then takes the button that gives
// up (No, Cancel or Abort) and says so.
int answerOnConsole(const QString &text, const QString &caption, unsigned style)
{
    const QList<int> answers = answersOf(style);
    const int def = int((style & MB_DEFMASK) >> 8);
    const int defaultAnswer = def < answers.size() ? answers[def] : answers.first();
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    if (answers.size() == 1)
        return answers.first();
    QStringList names;
    for (const int a : answers)
        names << buttonName(a);
    for (;;) {
        if (::isatty(STDIN_FILENO) == 1) {
            std::fprintf(stderr, "(%s) ", qPrintable(names.join(QLatin1Char('/'))));
            std::fflush(stderr);
        }
        QByteArray line;
        if (!readAnswerLine(line))
            break;
        const QString given = QString::fromLocal8Bit(line).trimmed();
        if (given.isEmpty())
            return defaultAnswer;
        for (const int a : answers) {
            if (buttonName(a).startsWith(given.left(1), Qt::CaseInsensitive))
                return a;
        }
        std::fprintf(stderr, "Please answer %s.\n", qPrintable(names.join(QStringLiteral(" or "))));
    }
    static QSet<QString> takenByDefault;
    if (!takenByDefault.contains(text)) {
        takenByDefault.insert(text);
        return defaultAnswer;
    }
    const int givingUp = answers.contains(IDNO) && !answers.contains(IDCANCEL) ? IDNO
        : answers.contains(IDCANCEL)                                            ? IDCANCEL
                                                                                : IDABORT;
    std::fprintf(stderr,
                 "%s: the same question again, and no answer was given on standard input, so it is answered %s.\n",
                 qPrintable(caption), qPrintable(buttonName(givingUp)));
    return givingUp;
}

int showRealMessageBox(const QString &text, const QString &caption, unsigned style)
{
    // The tools draw offscreen: nobody could answer a box there either.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())
        || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return answerOnConsole(text, caption, style);
    const QPointer<QWidget> owner = activeParent(nullptr);
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (style & MB_ICONMASK) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct Button { QMessageBox::StandardButton button; int id; };
    QList<Button> buttons;
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
    }
    for (const Button &b : buttons)
        box.addButton(b.button);
    const int def = int((style & MB_DEFMASK) >> 8);
    if (def < buttons.size())
        box.setDefaultButton(buttons[def].button);
    const auto pressed = QMessageBox::StandardButton(box.exec());
    // The window the box stood over is the active one again, as with the
    // system's own boxes: whatever the box's owner does next (a field given
    // the focus back after a refused entry) then gets its keys and its
    // focus changes, even where no window manager hands the focus back.
    if (owner && owner->isVisible())
        owner->window()->activateWindow();
    for (const Button &b : buttons)
        if (b.button == pressed)
            return b.id;
    // Closed with Escape or the title bar: Cancel where there is one, else the
    // only button (as the system's boxes do).
    if ((style & MB_TYPEMASK) == MB_YESNO || (style & MB_TYPEMASK) == MB_ABORTRETRYIGNORE)
        return buttons.last().id;
    return (style & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}
} // namespace

void Prompt::setDefaultCaption(const QString &caption)
{
    g_defaultCaption = caption;
}

QString Prompt::defaultCaption()
{
    return g_defaultCaption;
}

int Prompt::messageBox(const QString &text, const QString &caption, unsigned style)
{
    PromptRecord r;
    r.kind = PromptRecord::Kind::MessageBox;
    r.text = text;
    r.caption = caption.isEmpty() ? g_defaultCaption : caption;
    r.flags = style;
    // Input given before the box belongs to the run it came in (a box
    // blocks the windows behind it, so it would be lost after).
    LongRun::BeforeBox();
    if (g_responder) {
        HeldFileAudit::check(QStringLiteral("box"), r.caption, text);
        return g_responder->takeAnswer(r);
    }
    return showRealMessageBox(text, r.caption, style);
}

void Prompt::beep()
{
    if (g_responder) {
        PromptRecord r;
        r.kind = PromptRecord::Kind::Beep;
        g_responder->record(r);
        return;
    }
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::beep();
}

QString Prompt::openFileName(const QString &title, const QString &folder, const QString &filter, QWidget *parent)
{
    if (g_responder) {
        PromptRecord r;
        r.kind = PromptRecord::Kind::OpenFile;
        r.caption = title;
        r.text = folder;
        r.filter = filter;
        HeldFileAudit::check(QStringLiteral("file"), r.caption, r.text);
        return g_responder->takeFile(r);
    }
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QString(); // no window system: nothing can be chosen
    return QFileDialog::getOpenFileName(activeParent(parent), title, folder, filter);
}

QString Prompt::saveFileName(const QString &title, const QString &suggested, const QString &filter, QWidget *parent)
{
    if (g_responder) {
        PromptRecord r;
        r.kind = PromptRecord::Kind::SaveFile;
        r.caption = title;
        r.text = suggested;
        r.filter = filter;
        HeldFileAudit::check(QStringLiteral("file"), r.caption, r.text);
        return g_responder->takeFile(r);
    }
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QString(); // no window system: nothing can be chosen
    return QFileDialog::getSaveFileName(activeParent(parent), title, suggested, filter);
}

QString Prompt::saveFileName(const QString &title, const QString &suggested, const QString &filter,
                             QString *selectedFilter, QWidget *parent)
{
    if (g_responder) {
        PromptRecord r;
        r.kind = PromptRecord::Kind::SaveFile;
        r.caption = title;
        r.text = suggested;
        r.filter = filter;
        r.selectedFilter = selectedFilter ? *selectedFilter : QString();
        HeldFileAudit::check(QStringLiteral("file"), r.caption, r.text);
        return g_responder->takeFile(r, selectedFilter);
    }
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QString(); // no window system: nothing can be chosen
    QFileDialog dialog(activeParent(parent), title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (selectedFilter && !selectedFilter->isEmpty())
        dialog.selectNameFilter(*selectedFilter);
    // The extension of the name typed follows the type chosen, as the name
    // will when it is saved: another offered type's extension is replaced,
    // any other text after a dot stays part of the name. The dialog's own
    // replacement would cut such a text, so the name is kept as typed.
    QLineEdit *edit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    auto typed = std::make_shared<QString>(QFileInfo(suggested).fileName());
    if (edit)
        QObject::connect(edit, &QLineEdit::textEdited, &dialog, [typed](const QString &text) { *typed = text; });
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, edit, typed](const QString &chosen) {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)\\)?$"));
        const QString extension = pattern.match(chosen).captured(1);
        if (extension.isEmpty())
            return;
        dialog.setDefaultSuffix(extension);
        if (!edit || typed->trimmed().isEmpty())
            return;
        QString name = *typed;
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        const QString current = dot > 0 ? name.mid(dot + 1) : QString();
        bool offered = false;
        for (const QString &filter : dialog.nameFilters()) {
            const QString offeredExtension = pattern.match(filter).captured(1);
            offered = offered || (!current.isEmpty() && offeredExtension.compare(current, Qt::CaseInsensitive) == 0);
        }
        if (offered)
            name.truncate(dot);
        *typed = name + QLatin1Char('.') + extension;
        edit->setText(*typed);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}

QString Prompt::folderName(const QString &title, const QString &folder, QWidget *parent)
{
    if (g_responder) {
        PromptRecord r;
        r.kind = PromptRecord::Kind::Folder;
        r.caption = title;
        r.text = folder;
        HeldFileAudit::check(QStringLiteral("file"), r.caption, r.text);
        return g_responder->takeFile(r);
    }
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QString(); // no window system: nothing can be chosen
    return QFileDialog::getExistingDirectory(activeParent(parent), title, folder);
}

int Prompt::execDialog(QDialog &dialog)
{
    if (g_responder) {
        HeldFileAudit::check(QStringLiteral("dialog"), dialog.windowTitle(), dialog.objectName());
        return g_responder->runDialog(dialog);
    }
    // As after a box: the window the dialog stood over takes the keys again
    // (its list, the field it left), also where no window manager hands
    // them back.
    const QPointer<QWidget> before = QApplication::activeWindow();
    const int result = dialog.exec();
    if (before && before != &dialog && before->isVisible())
        before->window()->activateWindow();
    return result;
}

TestResponder::TestResponder() : m_previous(g_responder)
{
    g_responder = this;
}

TestResponder::~TestResponder()
{
    g_responder = m_previous;
}

TestResponder *TestResponder::active()
{
    return g_responder;
}

QStringList TestResponder::texts() const
{
    QStringList out;
    for (const PromptRecord &r : m_shown)
        if (r.kind == PromptRecord::Kind::MessageBox)
            out << r.text;
    return out;
}

namespace {

std::function<void(const PromptRecord &)> &messageBoxWatch()
{
    static std::function<void(const PromptRecord &)> watch;
    return watch;
}

} // namespace

void WatchMessageBoxes(std::function<void(const PromptRecord &)> watch)
{
    messageBoxWatch() = std::move(watch);
}

int TestResponder::takeAnswer(const PromptRecord &record)
{
    PromptRecord r = record;
    if (messageBoxWatch())
        messageBoxWatch()(record);
    if (m_answers.empty()) {
        r.answer = 0;
        m_shown.append(r);
        throw UnansweredPrompt(QStringLiteral("Unanswered message box: ") + record.text);
    }
    r.answer = m_answers.front();
    m_answers.pop_front();
    m_shown.append(r);
    return r.answer;
}

QString TestResponder::takeFile(const PromptRecord &record)
{
    m_shown.append(record);
    if (m_files.empty())
        throw UnansweredPrompt(QStringLiteral("Unanswered file choice: ") + record.caption);
    QString f = m_files.front();
    m_files.pop_front();
    if (!m_fileTypes.empty())
        m_fileTypes.pop_front();
    return f;
}

QString TestResponder::takeFile(const PromptRecord &record, QString *selectedFilter)
{
    const QString type = m_fileTypes.empty() ? QString() : m_fileTypes.front();
    const QString file = takeFile(record);
    if (selectedFilter && !type.isEmpty()) {
        const QStringList entries = record.filter.split(QStringLiteral(";;"));
        bool found = false;
        for (const QString &entry : entries)
            if (entry.startsWith(type)) {
                *selectedFilter = entry;
                found = true;
                break;
            }
        if (!found)
            throw UnansweredPrompt(QStringLiteral("The file dialog offers no type ") + type);
    }
    return file;
}

int TestResponder::runDialog(QDialog &dialog)
{
    PromptRecord r;
    r.kind = PromptRecord::Kind::Dialog;
    r.text = dialog.objectName();
    r.caption = dialog.windowTitle();
    if (m_dialogs.empty()) {
        m_shown.append(r);
        throw UnansweredPrompt(QStringLiteral("Unanswered dialog: ") + dialog.windowTitle());
    }
    DialogHandler handler = std::move(m_dialogs.front());
    m_dialogs.pop_front();
    dialog.setModal(true);
    dialog.show();
    QApplication::processEvents();
    const int result = handler(dialog);
    dialog.hide();
    r.answer = result;
    m_shown.append(r);
    dialog.setResult(result);
    return result;
}

} // namespace platform
