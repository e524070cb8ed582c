#pragma once

#include <QtCore/QString>

// Text rules of the XML documents the program writes.

// Element text: "&", "<", ">", both apostrophes, the middle dot and bullet
// (as "-"), the double quote, the line feed ("&#10;") and the carriage
// return ("&#13;", so that a reader does not turn CR LF into two breaks).
// Control characters other than TAB, LF and CR cannot stand in an XML 1.0
// document at all and are dropped.
QString XmlEscape(const QString &text);

// An element name from a field or alias name: blanks are removed, and every
// character that cannot stand in a name becomes "_" (a name that cannot
// start with its first character gets "_" in front), so aliases such as
// "Service/Date" or "DAY/IN  |" still give a well-formed document. A valid
// name comes back unchanged.
QString XmlElementName(const QString &name);

// True when the text is one SELECT (or crosstab) statement and nothing else:
// the only statements a template may run. Make-table selects ("INTO") and a
// second statement after ";" are refused.
bool IsSingleSelectStatement(const QString &sql);
