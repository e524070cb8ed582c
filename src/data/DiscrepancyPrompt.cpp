#include "data/DiscrepancyPrompt.h"

#include "platform/Prompt.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QVBoxLayout>

int AskDiscrepancyCheck()
{
    static const char *const kEntries[] = {
        "Subtotal is not equal to sum of Service prices",
        "Item Price is not equal to sum of Service prices",
        "Default and Item Price Levels are different",
        "Default Item Price was manually edited",
        "Subtotal is zero (incomplete pricing)",
        "Ink color is not specified (printed in color with offset press)",
        "Items have no Services",
    };

    QDialog dialog;
    dialog.setObjectName(QStringLiteral("Discrepancies"));
    dialog.setWindowTitle(QStringLiteral("Discrepancies"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *box = new QGroupBox(QStringLiteral("Find jobs where:"), &dialog);
    auto *boxLayout = new QVBoxLayout(box);
    auto *group = new QButtonGroup(&dialog);
    int id = 1;
    for (const char *text : kEntries) {
        auto *button = new QRadioButton(QString::fromUtf8(text), box);
        button->setObjectName(QStringLiteral("entry%1").arg(id));
        button->setChecked(id == 1);
        group->addButton(button, id);
        boxLayout->addWidget(button);
        ++id;
    }
    layout->addWidget(box);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
        return 0;
    const int checked = group->checkedId();
    return checked > 0 ? checked : 0;
}
