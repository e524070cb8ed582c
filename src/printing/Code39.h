#pragma once

#include <QtCore/QString>

class QPainter;

// Code 39 bar codes drawn as bars, in the Full ASCII form: every character a
// keyboard can type is written with the 43 symbols of Code 39, the others as
// a shift symbol ("$", "%", "/", "+") and a letter ("^" as "%N", "#" as "/C",
// "$" as "/D", "%" as "/E"). A code is "*", the symbols, "*"; each symbol is
// five bars and four spaces, three of the nine wide, with a narrow space
// between symbols.
namespace Code39 {

// The symbols that write the text in Full ASCII (without the start and stop
// "*"); empty when the text holds a character beyond 7-bit ASCII.
QString FullAsciiSymbols(const QString &text);

// The nine widths of one symbol, "n" narrow and "w" wide, bar first; empty
// for a character that is not a Code 39 symbol.
QString SymbolPattern(QChar symbol);

// The whole code of the symbols, start and stop included: the widths of its
// bars and spaces in order, "n" and "w", symbols separated by a narrow space.
QString Pattern(const QString &symbols);

// The same as modules of a wide/narrow ratio of 3: "1" bar, "0" space.
QString Modules(const QString &symbols);

// The printed code of a text such as "*^1234#*": the asterisks at either end
// are the start and stop symbols and the text between them is written in
// Full ASCII. Returns the symbols between start and stop.
QString SymbolsOfPrintedText(const QString &printed);

// Draws the bars of the symbols (start and stop added) from x with the
// narrow width and the height in device units; wide elements are three
// narrow ones. Returns the width drawn.
int DrawBars(QPainter &painter, int x, int y, int narrow, int height, const QString &symbols);

} // namespace Code39
