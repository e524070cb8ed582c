#include "exchange/xml/XmlDocument.h"

#include "platform/PlacedFile.h"
#include "platform/Prompt.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QHash>
#include <QtCore/QSet>
#include <QtCore/QStringDecoder>
#include <QtCore/QUrl>

#include <string_view>

#include <libxml/SAX2.h>
#include <libxml/entities.h>
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

// Whether a start tag of the text (a document, or the replacement text of an
// entity) has more than `limit` attributes, counted as the "=" signs outside
// quotes between its "<" and ">". Comments, CDATA sections, processing
// instructions and the document type declaration hold no start tags and are
// passed over; the entities a declaration holds are checked as the parser
// declares them.
bool hasCrowdedElement(std::string_view text, int limit)
{
    const size_t n = text.size();
    auto after = [&](size_t from, std::string_view mark) {
        const size_t at = text.find(mark, from);
        return at == std::string_view::npos ? n : at + mark.size();
    };
    // The end of a declaration "<!...>", brackets (an internal subset),
    // quoted texts, comments and processing instructions inside included.
    auto declarationEnd = [&](size_t i) {
        int depth = 0;
        char quote = 0;
        while (i < n) {
            const char c = text[i];
            if (quote) {
                quote = c == quote ? 0 : quote;
                ++i;
            } else if (c == '"' || c == '\'') {
                quote = c;
                ++i;
            } else if (text.substr(i, 4) == "<!--") {
                i = after(i + 4, "-->");
            } else if (text.substr(i, 2) == "<?") {
                i = after(i + 2, "?>");
            } else {
                if (c == '[')
                    ++depth;
                else if (c == ']')
                    --depth;
                else if (c == '>' && depth <= 0)
                    return i + 1;
                ++i;
            }
        }
        return n;
    };
    size_t i = 0;
    while (i < n) {
        i = text.find('<', i);
        if (i == std::string_view::npos)
            return false;
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            i = after(i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = after(i + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            i = after(i + 2, "?>");
        } else if (rest.starts_with("<!")) {
            i = declarationEnd(i + 2);
        } else if (rest.starts_with("</")) {
            i = after(i + 2, ">");
        } else {
            int attributes = 0;
            char quote = 0;
            for (++i; i < n; ++i) {
                const char c = text[i];
                if (quote) {
                    quote = c == quote ? 0 : quote;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=') {
                    if (++attributes > limit)
                        return true;
                } else if (c == '>' || c == '<') {
                    break; // the tag's end (or where the parser stops)
                }
            }
        }
    }
    return false;
}

// hasCrowdedElement for a whole file: a file in UTF-16 is looked at in UTF-8.
bool hasCrowdedElement(const QByteArray &bytes, int limit)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    const bool bigEndian = n >= 2 && ((b[0] == 0xFE && b[1] == 0xFF) || (b[0] == 0 && b[1] != 0));
    const bool littleEndian = n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] != 0 && b[1] == 0));
    if (bigEndian || littleEndian) {
        QStringDecoder decode(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE);
        const QByteArray utf8 = QString(decode(bytes)).toUtf8();
        return hasCrowdedElement(std::string_view(utf8.constData(), size_t(utf8.size())), limit);
    }
    return hasCrowdedElement(std::string_view(bytes.constData(), size_t(n)), limit);
}

// What one parse found beyond the parser's own errors.
struct ParseGuard
{
    bool crowded = false; // an entity holds an element of too many attributes
    // The attributes the DTD declares, by element: each one declared with a
    // default is given to every such element, so they count with the
    // element's own. The first element declared with more than the most.
    QHash<QByteArray, int> declared;
    QHash<QByteArray, QSet<QByteArray>> declaredNames;
    QString crowdedByDtd;
};

QByteArray qualifiedName(const xmlChar *prefix, const xmlChar *localName)
{
    QByteArray name(reinterpret_cast<const char *>(localName));
    if (prefix)
        name.prepend(QByteArray(reinterpret_cast<const char *>(prefix)) + ':');
    return name;
}

// Every entity the document declares is looked at before the parser keeps
// it: one whose replacement text holds an element of too many attributes
// stops the parse (the parser would check them against each other when the
// entity is used).
void guardedEntityDecl(void *ctx, const xmlChar *name, int type, const xmlChar *publicId, const xmlChar *systemId,
                       xmlChar *content)
{
    auto *context = static_cast<xmlParserCtxtPtr>(ctx);
    auto *guard = static_cast<ParseGuard *>(context->_private);
    if (guard && content
        && hasCrowdedElement(std::string_view(reinterpret_cast<const char *>(content)), XmlDocument::kMaxAttributes)) {
        guard->crowded = true;
        xmlStopParser(context);
        return;
    }
    xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
}

// Every attribute the DTD declares is counted for its element before the
// parser keeps it: an element declared with more attributes than the most an
// element may have stops the parse (the parser would give each such element
// all of them and check them against each other).
void guardedAttributeDecl(void *ctx, const xmlChar *element, const xmlChar *name, int type, int def,
                          const xmlChar *defaultValue, xmlEnumerationPtr tree)
{
    auto *context = static_cast<xmlParserCtxtPtr>(ctx);
    auto *guard = static_cast<ParseGuard *>(context->_private);
    if (guard && element) {
        const QByteArray key(reinterpret_cast<const char *>(element));
        if (name)
            guard->declaredNames[key].insert(QByteArray(reinterpret_cast<const char *>(name)));
        if (++guard->declared[key] > XmlDocument::kMaxAttributes) {
            guard->crowdedByDtd = QString::fromUtf8(key);
            if (tree)
                xmlFreeEnumeration(tree);
            xmlStopParser(context);
            return;
        }
    }
    xmlSAX2AttributeDecl(ctx, element, name, type, def, defaultValue, tree);
}

// An element's attributes are its own and those its DTD declares for it that
// it does not give itself: together no more than the most.
void guardedStartElement(void *ctx, const xmlChar *localName, const xmlChar *prefix, const xmlChar *uri,
                         int namespaces, const xmlChar **namespaceList, int attributes, int defaulted,
                         const xmlChar **attributeList)
{
    auto *context = static_cast<xmlParserCtxtPtr>(ctx);
    auto *guard = static_cast<ParseGuard *>(context->_private);
    if (guard && !guard->declaredNames.isEmpty()) {
        const QByteArray element = qualifiedName(prefix, localName);
        const auto declared = guard->declaredNames.constFind(element);
        if (declared != guard->declaredNames.constEnd()) {
            qsizetype count = declared->size();
            for (int i = 0; i < attributes - defaulted; ++i) {
                if (!declared->contains(qualifiedName(attributeList[5 * i + 1], attributeList[5 * i])))
                    ++count;
            }
            if (count > XmlDocument::kMaxAttributes) {
                guard->crowdedByDtd = QString::fromUtf8(element);
                xmlStopParser(context);
                return;
            }
        }
    }
    xmlSAX2StartElementNs(ctx, localName, prefix, uri, namespaces, namespaceList, attributes, defaulted,
                          attributeList);
}

// The size the document's text would have with every entity reference
// replaced by what it stands for (element and attribute text), counted
// without replacing anything: each entity is measured once. Counting stops
// past `limit`.
class ExpandedSize
{
public:
    ExpandedSize(xmlDocPtr doc, qint64 limit) : m_doc(doc), m_limit(limit) {}

    qint64 ofDocument()
    {
        return ofList(m_doc->children);
    }

private:
    qint64 add(qint64 a, qint64 b) const
    {
        return qMin(a + b, m_limit + 1);
    }

    qint64 ofList(xmlNodePtr node)
    {
        qint64 size = 0;
        for (; node && size <= m_limit; node = node->next)
            size = add(size, ofNode(node));
        return size;
    }

    qint64 ofNode(xmlNodePtr node)
    {
        switch (node->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            return node->content ? qint64(xmlStrlen(node->content)) : 0;
        case XML_ENTITY_REF_NODE:
            return ofEntity(xmlGetDocEntity(m_doc, node->name));
        case XML_ELEMENT_NODE: {
            qint64 size = 0;
            for (xmlAttrPtr attr = node->properties; attr && size <= m_limit; attr = attr->next)
                size = add(size, ofList(attr->children));
            return add(size, ofList(node->children));
        }
        default:
            return 0;
        }
    }

    qint64 ofEntity(xmlEntityPtr entity)
    {
        if (!entity)
            return 0;
        const auto known = m_entities.constFind(entity);
        if (known != m_entities.constEnd())
            return known.value();
        m_entities.insert(entity, 0); // a loop (refused by the parser) adds nothing
        const qint64 size = entity->children ? ofList(entity->children) : qint64(qMax(entity->length, 0));
        m_entities.insert(entity, size);
        return size;
    }

    xmlDocPtr m_doc;
    qint64 m_limit;
    QHash<xmlEntityPtr, qint64> m_entities;
};

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
    ParseGuard guard;
    if (context && context->sax) {
        context->_private = &guard;
        context->sax->entityDecl = guardedEntityDecl;
        context->sax->attributeDecl = guardedAttributeDecl;
        context->sax->startElementNs = guardedStartElement;
    }
    xmlDocPtr doc = context ? xmlCtxtReadMemory(context, bytes.constData(), int(bytes.size()), url.constData(), nullptr,
                                                ParseOptions())
                            : nullptr;
    m_tooManyAttributes = guard.crowded;
    m_crowdedByDtd = guard.crowdedByDtd;
    bool ok = doc != nullptr && !guard.crowded && m_crowdedByDtd.isEmpty();
    m_namesOutside = ok && namesOutside(doc);
    if (m_namesOutside)
        ok = false;
    // Entities used over and over could make the text far larger than the
    // file: it is measured before anything reads it.
    m_tooLarge = ok && ExpandedSize(doc, kMaxBytes).ofDocument() > kMaxBytes;
    if (m_tooLarge)
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
    const QString tooManyAttributes = QStringLiteral("an element in it has more than %1 attributes, the most Tavrel "
                                                     "reads")
                                          .arg(kMaxAttributes);
    if (hasCrowdedElement(bytes, kMaxAttributes)) {
        refuse(path, tooManyAttributes);
        return false;
    }
    if (loadOnce(path, bytes, true))
        return true;
    if (m_namesOutside) {
        refuseOutside(path);
        return false;
    }
    if (m_tooManyAttributes) {
        refuse(path, tooManyAttributes);
        return false;
    }
    if (!m_crowdedByDtd.isEmpty()) {
        refuse(path, QStringLiteral("with the attributes its DTD declares, the element %1 has more than %2 "
                                    "attributes, the most Tavrel reads")
                         .arg(m_crowdedByDtd)
                         .arg(kMaxAttributes));
        return false;
    }
    if (m_tooLarge) {
        refuse(path, QStringLiteral("with its entities replaced by what they stand for it would be larger than "
                                    "64 MB, the most such a file may be"));
        return false;
    }
    reportError(path, true);
    if (loadOnce(path, bytes, false))
        return true;
    reportError(path, false);
    Release();
    return false;
}

void XmlDocument::refuse(const QString &path, const QString &why)
{
    Release();
    m_lastError = QStringLiteral("Cannot read the XML file ") + path + QStringLiteral(": ") + why + QLatin1Char('.');
    platform::Prompt::messageBox(m_lastError, QStringLiteral("Parse Error"), platform::MB_ICONHAND);
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

// The element itself and the elements it lies inside, nearest first.
template <typename Visit>
static void forSelfAndAncestors(xmlNodePtr node, Visit visit)
{
    for (; node && node->type == XML_ELEMENT_NODE; node = node->parent)
        visit(node);
}

bool XmlDocument::LiesInside(const QString &tag, const QString &container) const
{
    const QList<xmlNodePtr> boxes = findElements(static_cast<xmlDocPtr>(m_doc), container);
    const QSet<xmlNodePtr> containers(boxes.cbegin(), boxes.cend());
    if (containers.isEmpty())
        return false;
    for (xmlNodePtr element : findElements(static_cast<xmlDocPtr>(m_doc), tag)) {
        bool inside = false;
        forSelfAndAncestors(element, [&](xmlNodePtr node) { inside = inside || containers.contains(node); });
        if (inside)
            return true;
    }
    return false;
}

QStringList XmlDocument::GetXmlValues(const QString &tag, const QString &attribute, int count) const
{
    QStringList values;
    const QList<xmlNodePtr> elements = findElements(static_cast<xmlDocPtr>(m_doc), tag);
    for (qsizetype i = 0; i < elements.size() && i < count; ++i)
        values.append(valueOf(elements.at(i), attribute));
    return values;
}

QStringList XmlDocument::GetXmlValuesInside(const QString &container, const QString &tag, const QString &attribute,
                                            int count) const
{
    const QList<xmlNodePtr> boxes = findElements(static_cast<xmlDocPtr>(m_doc), container);
    const qsizetype wanted = qMin(boxes.size(), qsizetype(qMax(count, 0)));
    QHash<xmlNodePtr, qsizetype> position;
    for (qsizetype i = 0; i < wanted; ++i)
        position.insert(boxes.at(i), i);
    // Elements in document order: the first that is or lies inside a box is
    // that box's.
    QList<xmlNodePtr> first(wanted, nullptr);
    qsizetype found = 0;
    const QList<xmlNodePtr> elements = wanted ? findElements(static_cast<xmlDocPtr>(m_doc), tag) : QList<xmlNodePtr>();
    for (xmlNodePtr element : elements) {
        forSelfAndAncestors(element, [&](xmlNodePtr node) {
            const auto at = position.constFind(node);
            if (at != position.constEnd() && !first[at.value()]) {
                first[at.value()] = element;
                ++found;
            }
        });
        if (found == wanted)
            break;
    }
    QStringList values;
    for (xmlNodePtr element : first)
        values.append(element ? valueOf(element, attribute) : QString());
    return values;
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
