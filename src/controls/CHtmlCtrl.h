#pragma once

#include <QtCore/QString>
#include <QtCore/QUrl>
#include <QtCore/QStringList>
#include <QtWidgets/QTextBrowser>

#include <functional>

// A browser pane inside a dialog or view, filled with HTML the program builds
// itself (the home page, item documents). Links whose address begins with
// "app:" never load a page: they come back to the host as commands. A number
// after "app:" is the command id; any other text is kept as the link word and
// the named-link command 30593 is sent, for the host to read linkText().
// Addresses holding ".xml" also send 30594 so the host can fetch the text.
// Files and web pages are handed to the desktop (through a replaceable hook).
class CHtmlCtrl : public QTextBrowser
{
    Q_OBJECT

public:
    static constexpr int kNamedLinkCommand = 30593;
    static constexpr int kXmlPageCommand = 30594;

    // Opens an address outside the program; returns false when it could not.
    using OpenHook = std::function<bool(const QUrl &)>;

    explicit CHtmlCtrl(QWidget *parent = nullptr);
    ~CHtmlCtrl() override;

    // Takes the place of a placeholder: the given window (left alone, the
    // caller hides it) or else the dialog item with that id (destroyed).
    // False when there is no placeholder.
    bool CreateFromStatic(QWidget *parent, unsigned controlId, QWidget *placeholder = nullptr,
                          const QString &title = QString());
    // Replaces the document shown by the whole HTML text. Returns 0.
    int LoadHtml(const QString &html);
    // Goes to an address as a click on a link to it would: "about:blank"
    // empties the page, "app:" addresses become commands, others open outside.
    void Navigate(const QString &address);

    // The pages shown keep a history as a browser's does: Back shows the page
    // before the present one. False when there is none.
    bool GoBack();
    bool GoForward();
    bool CanGoBack() const { return !m_back.isEmpty(); }
    // The page shown, as it was given.
    QString currentHtml() const { return m_current; }

    // The address of the last navigation request; after an "app:" link
    // without a number, the text after "app:".
    QString linkText() const { return m_strLink; }
    unsigned controlId() const { return m_id; }

    // Replaces the desktop opener for every control (tests); an empty hook
    // restores the desktop's.
    static void SetOpenHook(OpenHook hook);

signals:
    void commandTriggered(int id);

protected:
    // Called for every navigation request; true cancels the navigation.
    bool OnBeforeNavigate(const QString &address);
    // Pictures and style sheets a page names from the disk are read through
    // the checks for files others may place: a pipe or a device under such
    // a name is left out at once instead of holding the window for ever.
    QVariant loadResource(int type, const QUrl &name) override;

private:
    void onAnchorClicked(const QUrl &url);
    void postCommand(int id);
    // Shows a page, the present one going into the history.
    void showPage(const QString &html);
    // One step through the history: the present page goes to `to`.
    bool stepHistory(QStringList &from, QStringList &to);

    QStringList m_back;
    QStringList m_forward;
    QString m_current;
    bool m_hasCurrent = false;
    QString m_strLink;
    unsigned m_id = 0;
};
