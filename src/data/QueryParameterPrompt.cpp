#include "data/QueryParameterPrompt.h"

#include "platform/Prompt.h"
#include "platform/db/Database.h"

#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>

bool AskQueryParameters(platform::Database &db, const QString &queryName, QList<platform::Value> &values, QWidget *parent)
{
    values.clear();
    const QList<platform::Database::QueryParameter> parameters = db.queryParameters(queryName);
    if (parameters.isEmpty())
        return true;
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("QueryParameters"));
    dialog.setWindowTitle(QStringLiteral("Query"));
    auto *caption = new QLabel(queryName, &dialog);
    auto *grid = new QTableWidget(int(parameters.size()), 2, &dialog);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("Value")});
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < parameters.size(); ++r) {
        auto *field = new QTableWidgetItem(parameters.at(r).name);
        field->setFlags(field->flags() & ~Qt::ItemIsEditable);
        grid->setItem(r, 0, field);
        grid->setItem(r, 1, new QTableWidgetItem(QString()));
    }
    // The field names show whole; the values take the rest.
    grid->resizeColumnToContents(0);
    grid->setMinimumWidth(grid->columnWidth(0) + 160 + 2 * grid->frameWidth());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(caption);
    layout->addWidget(grid);
    layout->addWidget(buttons);
    if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
        return false;
    for (int r = 0; r < parameters.size(); ++r) {
        const QString text = grid->item(r, 1) ? grid->item(r, 1)->text() : QString();
        values.append(text.isEmpty() ? platform::Value() : platform::Value(text));
    }
    return true;
}
