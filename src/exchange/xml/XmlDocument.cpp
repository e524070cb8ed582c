#include "exchange/xml/XmlDocument.h"

#include "platform/PlacedFile.h"
#include "platform/Prompt.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QUrl>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/uri.h>
#include <libxml/valid.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>

namespace {

QString fromXml(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

// The first error reported while a document is read; later ones (a cascade
// of the first) are not shown.
struct ErrorCatcher
{
    bool caught = false;
    int code = 0;
    int line = 0;
    int column = 0;
    QString reason;

    static void handler(void *data, xmlErrorPtr error)
    {
        auto *self = static_cast<ErrorCatcher *>(data);
        if (self->caught || !error || error->level < XML_ERR_ERROR)
            return;
        self->caught = true;
        self->code = error->code;
        self->line = error->line;
        self->column = error->int2;
        self->reason = QString::fromUtf8(error->message ? error->message : "").trimmed();
    }
};

// A tag or path of element names as the search expression; anything else
// (quotes, brackets, functions) finds nothing rather than being evaluated.
QString searchExpression(const QString &tag)
{
    static const QRegularExpression path(QStringLiteral("^[\\w.\\-:]+(/[\\w.\\-:]+)*$"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    if (!path.match(tag).hasMatch())
        return QString();
    return QStringLiteral("//") + tag;
}

QList<xmlNodePtr> findElements(xmlDocPtr doc, const QString &tag)
{
    QList<xmlNodePtr> found;
    const QString expression = searchExpression(tag);
    if (!doc || expression.isEmpty())
        return found;
    xmlXPathContextPtr context = xmlXPathNewContext(doc);
    if (!context)
        return found;
    const QByteArray utf8 = expression.toUtf8();
    xmlXPathObjectPtr result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar *>(utf8.constData()), context);
    if (result && result->nodesetval) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i)
            if (result->nodesetval->nodeTab[i]->type == XML_ELEMENT_NODE)
                found.append(result->nodesetval->nodeTab[i]);
    }
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    return found;
}

QString nodeText(xmlNodePtr node)
{
    xmlChar *content = xmlNodeGetContent(node);
    const QString text = fromXml(content);
    xmlFree(content);
    return text;
}

// The DOM's node type numbers and names for libxml2's node kinds.
int domType(xmlElementType type)
{
    switch (type) {
    case XML_DTD_NODE: return 10;
    case XML_HTML_DOCUMENT_NODE: return 9;
    default: return int(type);
    }
}

QString domTypeName(int type)
{
    static const char *const names[] = {"",        "element",   "attribute", "text",         "cdatasection",
                                        "entityreference", "entity", "processinginstruction", "comment",
                                        "document", "documenttype", "documentfragment", "notation"};
    return type >= 1 && type <= 12 ? QString::fromLatin1(names[type]) : QStringLiteral("unknown");
}

XmlDocument::Node walk(xmlNodePtr node)
{
    XmlDocument::Node out;
    out.type = domType(node->type);
    out.typeName = domTypeName(out.type);
    switch (node->type) {
    case XML_DOCUMENT_NODE: out.name = QStringLiteral("#document"); break;
    case XML_TEXT_NODE: out.name = QStringLiteral("#text"); break;
    case XML_COMMENT_NODE: out.name = QStringLiteral("#comment"); break;
    case XML_CDATA_SECTION_NODE: out.name = QStringLiteral("#cdata-section"); break;
    default: out.name = fromXml(node->name);
    }
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE || node->type == XML_COMMENT_NODE)
        out.text = fromXml(node->content);
    if (node->type == XML_ELEMENT_NODE) {
        for (xmlAttrPtr attr = node->properties; attr; attr = attr->next) {
            xmlChar *value = xmlNodeListGetString(node->doc, attr->children, 1);
            out.attributes.append(fromXml(attr->name) + QLatin1Char('=') + fromXml(value));
            xmlFree(value);
        }
    }
    xmlNodePtr first = node->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(node)->children : node->children;
    if (node->type != XML_ENTITY_REF_NODE)
        for (xmlNodePtr child = first; child; child = child->next)
            out.children.append(walk(child));
    return out;
}

} // namespace

XmlDocument::XmlDocument() = default;

XmlDocument::~XmlDocument()
{
    Release();
}

void XmlDocument::Release()
{
    if (m_doc)
        xmlFreeDoc(static_cast<xmlDocPtr>(m_doc));
    m_doc = nullptr;
}

namespace {

// The entity loader while a document is read: nothing outside the document
// is ever loaded, neither a DTD, an entity nor a schema it names. A document
// read from outside (an order a web shop left) could otherwise make the
// program open any file or address: its text would become the order's, or
// the read would wait for ever on a pipe.
xmlParserInputPtr refuseExternal(const char *, const char *, xmlParserCtxtPtr)
{
    return nullptr;
}

// Whether the document names something outside itself: an external DTD
// subset, or an external entity (general or parameter) in its own DTD.
bool namesOutside(xmlDocPtr doc)
{
    if (!doc)
        return false;
    if (doc->extSubset)
        return true;
    xmlDtdPtr dtd = doc->intSubset;
    if (!dtd)
        return false;
    if (dtd->ExternalID || dtd->SystemID)
        return true;
    for (xmlNodePtr node = dtd->children; node; node = node->next) {
        if (node->type != XML_ENTITY_DECL)
            continue;
        const auto *entity = reinterpret_cast<xmlEntityPtr>(node);
        if (entity->etype == XML_EXTERNAL_GENERAL_PARSED_ENTITY || entity->etype == XML_EXTERNAL_GENERAL_UNPARSED_ENTITY
            || entity->etype == XML_EXTERNAL_PARAMETER_ENTITY)
            return true;
    }
    return false;
}

} // namespace

int XmlDocument::ParseOptions()
{
    // No network, no DTD loaded, no entity replaced by what it names: the
    // document is read from its own text alone. A DTD the document carries
    // is checked after the parse (xmlValidateDocument), never loaded.
    return XML_PARSE_NONET | XML_PARSE_NOBLANKS;
}

bool XmlDocument::loadOnce(const QString &path, const QByteArray &bytes, bool validate)
{
    Release();
    ErrorCatcher catcher;
    xmlSetStructuredErrorFunc(&catcher, &ErrorCatcher::handler);
    const xmlExternalEntityLoader previousLoader = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(refuseExternal);
    const QByteArray url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    xmlDocPtr doc = context ? xmlCtxtReadMemory(context, bytes.constData(), int(bytes.size()), url.constData(), nullptr,
                                                ParseOptions())
                            : nullptr;
    bool ok = doc != nullptr;
    m_namesOutside = ok && namesOutside(doc);
    if (m_namesOutside)
        ok = false;
    if (ok && validate && doc->intSubset) {
        xmlValidCtxtPtr valid = xmlNewValidCtxt();
        if (!valid || !xmlValidateDocument(valid, doc))
            ok = false;
        if (valid)
            xmlFreeValidCtxt(valid);
    }
    xmlSetExternalEntityLoader(previousLoader);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (context)
        xmlFreeParserCtxt(context);
    m_errorCode = catcher.caught ? catcher.code : (ok ? 0 : -1);
    m_errorLine = catcher.line;
    m_errorColumn = catcher.column;
    m_errorReason = catcher.caught ? catcher.reason : (ok ? QString() : QStringLiteral("The file cannot be read."));
    if (!ok) {
        if (doc)
            xmlFreeDoc(doc);
        return false;
    }
    m_doc = doc;
    return true;
}

void XmlDocument::reportError(const QString &path, bool withRetryLine)
{
    if (m_errorCode == 0)
        return;
    const QString retry = withRetryLine
        ? QStringLiteral("Next, Tavrel will try to load the file without validating XML parsing.")
        : QString();
    m_lastError = QString::asprintf("Error processing XML file: %s\nError on line %d, position %d\nError (%x) text: %s\n",
                                    qUtf8Printable(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString()),
                                    m_errorLine, m_errorColumn, unsigned(m_errorCode), qUtf8Printable(m_errorReason)) +
        retry;
    platform::Prompt::messageBox(m_lastError, QStringLiteral("Parse Error"), platform::MB_ICONHAND);
}

bool XmlDocument::Load(const QString &path)
{
    m_lastError.clear();
    Release();
    QByteArray bytes;
    QString refusal;
    if (!platform::PlacedFile::Read(path, kMaxBytes, bytes, refusal)) {
        m_lastError = QStringLiteral("Cannot read the XML file ") + path + QStringLiteral(": ") + refusal + QLatin1Char('.');
        platform::Prompt::messageBox(m_lastError, QStringLiteral("Parse Error"), platform::MB_ICONHAND);
        return false;
    }
    if (loadOnce(path, bytes, true))
        return true;
    if (m_namesOutside) {
        refuseOutside(path);
        return false;
    }
    reportError(path, true);
    if (loadOnce(path, bytes, false))
        return true;
    reportError(path, false);
    Release();
    return false;
}

void XmlDocument::refuseOutside(const QString &path)
{
    m_lastError = QStringLiteral("Cannot read the XML file ") + path +
        QStringLiteral(": it names a DTD or an entity outside itself (a file or an address), and Tavrel never opens "
                       "what an XML file names.\n\nAsk whoever made the file for one that holds all of its text.");
    platform::Prompt::messageBox(m_lastError, QStringLiteral("Parse Error"), platform::MB_ICONHAND);
}

static QString valueOf(xmlNodePtr element, const QString &attribute)
{
    if (attribute.isEmpty())
        return nodeText(element);
    const QByteArray name = attribute.toUtf8();
    xmlChar *value = xmlGetProp(element, reinterpret_cast<const xmlChar *>(name.constData()));
    // An element without the attribute has no value (never the attribute's
    // own name).
    const QString text = fromXml(value);
    xmlFree(value);
    return text;
}

static bool isWithin(xmlNodePtr node, xmlNodePtr container)
{
    for (; node; node = node->parent)
        if (node == container)
            return true;
    return false;
}

bool XmlDocument::LiesInside(const QString &tag, const QString &container) const
{
    const QList<xmlNodePtr> containers = findElements(static_cast<xmlDocPtr>(m_doc), container);
    for (xmlNodePtr element : findElements(static_cast<xmlDocPtr>(m_doc), tag))
        for (xmlNodePtr box : containers)
            if (isWithin(element, box))
                return true;
    return false;
}

QString XmlDocument::GetXmlValueInside(const QString &container, int containerIndex, const QString &tag,
                                       const QString &attribute) const
{
    const QList<xmlNodePtr> containers = findElements(static_cast<xmlDocPtr>(m_doc), container);
    if (containerIndex < 0 || containerIndex >= containers.size())
        return QString();
    xmlNodePtr box = containers.at(containerIndex);
    for (xmlNodePtr element : findElements(static_cast<xmlDocPtr>(m_doc), tag))
        if (isWithin(element, box))
            return valueOf(element, attribute);
    return QString();
}

QString XmlDocument::GetXmlValue(const QString &tag, const QString &attribute, int index) const
{
    const QList<xmlNodePtr> elements = findElements(static_cast<xmlDocPtr>(m_doc), tag);
    if (elements.isEmpty())
        return QString();
    if (index >= 0)
        return index < elements.size() ? valueOf(elements.at(index), attribute) : QString();
    for (xmlNodePtr element : elements) {
        const QString value = valueOf(element, attribute);
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

int XmlDocument::CountElements(const QString &tag) const
{
    return int(findElements(static_cast<xmlDocPtr>(m_doc), tag).size());
}

QString XmlDocument::GetXmlText() const
{
    if (!m_doc)
        return QString();
    xmlChar *buffer = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(static_cast<xmlDocPtr>(m_doc), &buffer, &size, "UTF-8", 1);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(buffer), size);
    xmlFree(buffer);
    return text;
}

XmlDocument::Node XmlDocument::Tree() const
{
    if (!m_doc)
        return Node();
    return walk(reinterpret_cast<xmlNodePtr>(m_doc));
}
