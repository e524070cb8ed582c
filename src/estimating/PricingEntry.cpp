#include "estimating/PricingEntry.h"

#include "data/AnswersOutsideLock.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"

#include <QtCore/QRegularExpression>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

namespace {

bool askNow(PricingEntry &entry)
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("PricingEntry"));
    dialog.setWindowTitle(entry.title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *prompt = new QLabel(entry.prompt, &dialog);
    prompt->setObjectName(QStringLiteral("prompt"));
    layout->addWidget(prompt);
    auto *edit = new QLineEdit(entry.value, &dialog);
    edit->setObjectName(QStringLiteral("value"));
    layout->addWidget(edit);
    auto *note = new QLabel(entry.note, &dialog);
    note->setObjectName(QStringLiteral("note"));
    note->setVisible(!entry.note.isEmpty());
    layout->addWidget(note);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    const QRegularExpression accepted(QRegularExpression::anchoredPattern(entry.pattern));
    for (;;) {
        edit->selectAll();
        edit->setFocus();
        if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
            return false;
        if ((entry.pattern.isEmpty() || accepted.match(edit->text().trimmed()).hasMatch())
            && PricingEntryReads(entry, edit->text()))
            break;
        // The window asks for this one value: its message needs no field's
        // name. A count is refused as every count is.
        const QString message = entry.kind == ValueKind::Time       ? TypedValueMessage(entry.kind)
            : entry.kind == ValueKind::Quantity && entry.pattern.isEmpty() ? TypedQuantityMessage(edit->text())
                                                                       : QStringLiteral("Please enter a number.");
        platform::Prompt::messageBox(message, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    entry.value = edit->text();
    return true;
}

} // namespace

bool AskPricingEntry(PricingEntry &entry)
{
    // The window with what it refuses is one question: inside a save's
    // transaction it is asked once the transaction has rolled back (see
    // AnswersOutsideLock) and its answer taken when the save is made again.
    const QString key = QStringLiteral("entry\n%1\n%2\n%3\n%4\n%5\n%6 %7 %8")
                            .arg(entry.title, entry.prompt, entry.note, entry.value, entry.pattern)
                            .arg(int(entry.kind))
                            .arg(entry.decimals)
                            .arg(entry.wide);
    const AnswersOutsideLock::Given given =
        AnswersOutsideLock::AnswerWithText(SharedDatabase(), key, [entry]() mutable {
            const bool confirmed = askNow(entry);
            return AnswersOutsideLock::Given{confirmed ? 1 : 0, entry.value};
        });
    if (given.code == 0)
        return false;
    entry.value = given.text;
    return true;
}

bool PricingEntryReads(const PricingEntry &entry, const QString &text)
{
    std::int32_t n = 0;
    std::int64_t scaled = 0;
    if (text.trimmed().isEmpty())
        return true; // nothing typed: 0
    switch (entry.kind) {
    case ValueKind::Quantity: return ReadTypedQuantity(text, n);
    case ValueKind::Time: return ReadTypedDuration(text, n);
    case ValueKind::Whole:
        return entry.decimals > 0 ? ReadTypedFixed(text, entry.decimals, scaled)
                                        && (entry.wide || (scaled <= INT32_MAX && scaled >= INT32_MIN))
                                  : ReadTypedWhole(text, n);
    default: return true;
    }
}
