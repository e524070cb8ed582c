#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

#include <functional>

// One XML file loaded for reading: the program's XML reader, and the one
// place where the program parses XML. Nothing outside the file is ever
// loaded: a file that names an external DTD or entity is refused (with its
// own message in the "Parse Error" box), a schema it names is not read, and
// the file itself is read only when it is an ordinary file of at most
// kMaxBytes (PlacedFile), with no element of more than kMaxAttributes
// attributes (those its DTD declares for the element counted), whose entities do not make it larger than kMaxBytes. Loading validates against the DTD the document
// carries first; when that fails the error is shown in the "Parse Error" box
// and the file is loaded once more without validation (only a file that is
// not well formed fails).
// Values are found by element name or by a path of names ending anywhere in
// the document ("ItemDetail/Description").
class XmlDocument
{
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument &) = delete;
    XmlDocument &operator=(const XmlDocument &) = delete;

    // The largest XML file read, and the largest its text may grow to with
    // its entities replaced by what they stand for.
    static constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
    // The most attributes one element may have. The parser checks each
    // attribute of an element against all those before it, so its time grows
    // with the square of their number; an element with more is refused
    // before anything is parsed.
    static constexpr int kMaxAttributes = 256;
    // The parser's options wherever XML is parsed.
    static int ParseOptions();

    // True when the file was loaded (on the first or the second attempt).
    bool Load(const QString &path);
    bool IsLoaded() const { return m_doc != nullptr; }
    void Release();

    // The text of the element (with its descendants) or of one of its
    // attributes. Index -1 tries the elements in document order and takes the
    // first non-empty value; another index takes that element's value even
    // when empty. A tag or element that does not exist gives "", and so does
    // an attribute the element lacks.
    QString GetXmlValue(const QString &tag, const QString &attribute, int index) const;
    // The number of elements a tag or path names.
    int CountElements(const QString &tag) const;
    // Whether an element the tag names is, or lies inside, an element the
    // container tag names.
    bool LiesInside(const QString &tag, const QString &container) const;
    // The values (as GetXmlValue gives them) of the first `count` elements
    // the tag names, in document order: fewer when there are fewer.
    QStringList GetXmlValues(const QString &tag, const QString &attribute, int count) const;
    // For each of the first `count` elements the container tag names, the
    // value of the first element the tag names that is, or lies inside, it
    // ("" when there is none). Each list is found once, so reading every
    // item of a long order takes as long as one pass over it.
    QStringList GetXmlValuesInside(const QString &container, const QString &tag, const QString &attribute,
                                   int count) const;
    // The whole document as XML text.
    QString GetXmlText() const;

    // One node of the document for a tree: its DOM node type (1 element,
    // 3 text, 7 processing instruction, 8 comment, 9 document, ...), name,
    // text (for text nodes) and attributes "name=value" in document order.
    struct Node
    {
        int type = 0;
        QString name;
        QString typeName;
        QString text;
        QStringList attributes;
        QList<Node> children;
    };
    // The document node with everything below it.
    Node Tree() const;

    // The parse error shown by the last Load ("" when none).
    QString LastErrorText() const { return m_lastError; }

private:
    bool loadOnce(const QString &path, const QByteArray &bytes, bool validate);
    void reportError(const QString &path, bool withRetryLine);
    void refuseOutside(const QString &path);
    void refuse(const QString &path, const QString &why);

    void *m_doc = nullptr; // xmlDoc
    // The first error of the last attempt.
    int m_errorCode = 0;
    int m_errorLine = 0;
    int m_errorColumn = 0;
    QString m_errorReason;
    QString m_lastError;
    bool m_namesOutside = false; // the last attempt found an external DTD or entity
    bool m_tooLarge = false;     // the last attempt found the text growing past kMaxBytes
    bool m_tooManyAttributes = false; // an entity of the last attempt holds an element past kMaxAttributes
    QString m_crowdedByDtd; // an element the last attempt's DTD declares past kMaxAttributes attributes
};
