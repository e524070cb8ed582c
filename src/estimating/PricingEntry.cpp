#include "estimating/PricingEntry.h"

#include "platform/Prompt.h"

#include <QtCore/QRegularExpression>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

bool AskPricingEntry(PricingEntry &entry)
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
        if (entry.pattern.isEmpty() || accepted.match(edit->text().trimmed()).hasMatch())
            break;
        platform::Prompt::messageBox(QStringLiteral("Please enter a number."), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    entry.value = edit->text();
    return true;
}
