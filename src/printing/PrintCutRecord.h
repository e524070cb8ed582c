#pragma once

#include <QtCore/QRect>
#include <QtCore/QSize>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

// What the print engine cut while it printed: every text it draws on the
// output is measured against the cell it is drawn in, and every text that
// does not fit is kept here with its page, its cell and what it needed. A
// printout whose record holds no cut prints every text whole.
//
// Kinds of cut:
//   across  a line wider than its cell, clipped at the cell's edge
//   below   lines beyond the cell's bottom, clipped (or half shown)
//   word    a word wider than its cell, broken inside itself onto two lines
//   beyond  a text drawn unclipped past its cell, over what lies beside it
//   page    a text leaving the page
//
// The record can be written beside the PDF it belongs to ("FILE.pdf.cuts"):
// a line "texts N" with the number of texts measured, then one line per cut,
// tab-separated: "cut", page, kind, cell left, top, width, height, needed
// width, needed height, text (tabs, line breaks and backslashes escaped).
// A word broken between letters at a hyphen is no cut: each of its pieces
// that ends a line is a line "break", page, the piece with its hyphen.
class PrintCutRecord
{
public:
    enum class Kind { Across, Below, Word, Beyond, Page };
    struct Cut
    {
        int page = 0;
        Kind kind = Kind::Across;
        QRect cell;
        QSize need;
        QString text;
    };

    void clear();
    // The page the next texts are drawn on (1-based).
    void setPage(int page) { m_page = page; }
    int page() const { return m_page; }
    // One more text measured on the output.
    void countText() { ++m_texts; }
    void add(Kind kind, const QRect &cell, const QSize &need, const QString &text);
    // A word too wide for its cell printed in pieces, this one ending its
    // line with a hyphen: no cut, the word's letters all print.
    struct Break
    {
        int page = 0;
        QString piece; // its letters and the hyphen
    };
    void addBreak(const QString &piece) { m_breaks.push_back({m_page, piece}); }
    const std::vector<Break> &breaks() const { return m_breaks; }

    int textsMeasured() const { return m_texts; }
    const std::vector<Cut> &cuts() const { return m_cuts; }
    bool isEmpty() const { return m_cuts.empty(); }
    // The first cuts, one line each ("page 2: \"01/22/2025\" cut across its
    // cell, 412 wide in 300").
    QStringList describe(int most = 10) const;

    static QString kindName(Kind kind);
    // The record's file beside a PDF.
    static QString pathBeside(const QString &pdf) { return pdf + QStringLiteral(".cuts"); }
    bool write(const QString &path) const;
    // Reads a record written by write; false when the file is missing or not a record.
    bool read(const QString &path);

private:
    int m_page = 1;
    int m_texts = 0;
    std::vector<Cut> m_cuts;
    std::vector<Break> m_breaks;
};
