#include "app/shell/CPlaceholderView.h"

#include "app/base/Appearance.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

namespace {
constexpr int kRibbonStatesCommand = 30050;
}

CPlaceholderView::CPlaceholderView(int viewId, QWidget *parent)
    : QWidget(parent), m_viewId(viewId)
{
    setObjectName(QStringLiteral("View%1").arg(viewId));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);

    auto *layout = new QVBoxLayout(this);
    layout->addStretch(2);
    auto *name = new QLabel(Appearance::GetViewName(unsigned(viewId)), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto *note = new QLabel(QStringLiteral("This view is not built yet."), this);
    note->setAlignment(Qt::AlignCenter);
    layout->addWidget(note);
    auto *keys = new QLabel(QStringLiteral("Ctrl+Shift+H, J, S, C, A, R, E, U or T shows another view; "
                                           "Ctrl+F1 shows the About box."),
                            this);
    keys->setAlignment(Qt::AlignCenter);
    keys->setEnabled(false);
    layout->addWidget(keys);
    layout->addStretch(3);
}

bool CPlaceholderView::OnCommand(int commandId)
{
    return commandId == kRibbonStatesCommand;
}
