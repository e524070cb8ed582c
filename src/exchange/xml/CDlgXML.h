#pragma once

#include "exchange/xml/XmlDocument.h"
#include "views/CDlg0.h"

class CXTreeCtrl;
class QTreeWidgetItem;

// An XML file as a tree: elements, texts, processing instructions and the
// document, each element's attributes as "name=value" entries below it.
// Used without showing it, it is the reader the web orders go through.
class CDlgXML : public CDlg0
{
    Q_OBJECT

public:
    CDlgXML(const QString &path, QWidget *parent);

    bool LoadXmlFile();
    QString GetXmlValue(const QString &tag, const QString &attribute, int index) const
    {
        return m_document.GetXmlValue(tag, attribute, index);
    }
    QString GetXmlText() const { return m_document.GetXmlText(); }
    void FillTree();

    const XmlDocument &document() const { return m_document; }
    CXTreeCtrl *tree() const { return m_tree; }

protected:
    bool OnInitDialog() override;
    void OnSize(int type, int cx, int cy) override;

private:
    void addNode(const XmlDocument::Node &node, QTreeWidgetItem *parent);

    QString m_strPath;
    XmlDocument m_document;
    CXTreeCtrl *m_tree = nullptr;
};
