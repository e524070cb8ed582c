#include "exchange/xml/CDlgXML.h"

#include "controls/CXTreeCtrl.h"
#include "controls/DlgItem.h"

#include <QtWidgets/QHeaderView>

namespace {
constexpr unsigned kTree = 2201;
// Images of the shared list 131.
constexpr int kElementImage = 12;
constexpr int kTextImage = 24;
constexpr int kInstructionImage = 55;
constexpr int kDocumentImage = 195;
constexpr int kAttributeImage = 35;
} // namespace

CDlgXML::CDlgXML(const QString &path, QWidget *parent) : CDlg0(428, parent), m_strPath(path)
{
    m_strWindowTitle = QStringLiteral("XML");
    resize(520, 560);
    m_tree = new CXTreeCtrl(this);
    m_tree->setGeometry(8, 8, 504, 496);
    SetDlgCtrlID(m_tree, kTree);
    AddButton(1, QStringLiteral("OK"), QRect(284, 516, 108, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(404, 516, 108, 32));
    AddSizeMarker(QPoint(520, 560));
}

bool CDlgXML::LoadXmlFile()
{
    return m_document.Load(m_strPath);
}

bool CDlgXML::OnInitDialog()
{
    CDlg0::OnInitDialog();
    setWindowTitle(m_strPath);
    m_tree->SetImageListAndFont(131, 2);
    m_tree->header()->hide();
    if (LoadXmlFile()) {
        FillTree();
        if (QTreeWidgetItem *first = m_tree->topLevelItem(0)) {
            m_tree->SelectAndShow(first);
            m_tree->ExpandItem(first, TVE_EXPAND);
        }
    }
    return true;
}

void CDlgXML::OnSize(int type, int cx, int cy)
{
    CDlg0::OnSize(type, cx, cy);
    if (!CalcSizeDelta(type, cx, cy))
        return;
    GrowItemBy(kTree, widthDelta(), heightDelta());
    MoveItemBy(1, widthDelta(), heightDelta());
    MoveItemBy(2, widthDelta(), heightDelta());
}

void CDlgXML::FillTree()
{
    m_tree->ClearAll();
    if (!m_document.IsLoaded())
        return;
    addNode(m_document.Tree(), nullptr);
}

void CDlgXML::addNode(const XmlDocument::Node &node, QTreeWidgetItem *parent)
{
    QString text;
    int image = 0;
    switch (node.type) {
    case 1: text = node.name; image = kElementImage; break;
    case 3: text = node.text; image = kTextImage; break;
    case 7: text = node.name; image = kInstructionImage; break;
    case 9: text = node.name; image = kDocumentImage; break;
    default: text = node.name + QStringLiteral(" - ") + node.typeName; image = node.type + 48; break;
    }
    QTreeWidgetItem *entry = m_tree->AddItem(parent, text, 0, image, image);
    for (const QString &attribute : node.attributes)
        m_tree->AddItem(entry, attribute, 0, kAttributeImage, kAttributeImage);
    for (const XmlDocument::Node &child : node.children)
        addNode(child, entry);
}
