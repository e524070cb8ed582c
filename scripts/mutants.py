#!/usr/bin/env python3
"""A round of one-line mistakes over the rules that sit on an edge.

Each mistake is a small change a developer could make at a boundary (a
comparison one off, a branch dropped, a sign lost). The script applies one at
a time to the source, rebuilds the test program of its area, runs that area's
tests and puts the file back. A mistake the tests do not notice "survives":
the rule it breaks wants a case of its own.

    scripts/mutants.py [--build DIR] [--only SUBSTRING] [--list]

The build folder must be configured already (scripts/build.sh does it). A
mistake whose line is no longer in the source is reported as "gone" and not
counted. The file is restored even when the run is interrupted.
"""
import argparse
import os
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent

# (name, file, the text as it stands, the text with the mistake, test program, gtest filter)
MUTANTS = [
    # --- money texts
    ("money: a leading plus refused", "src/platform/Money.cpp",
     "if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {", "if (t[0] == QLatin1Char('-')) {",
     "test_platform", "Money*:Value*"),
    ("money: dollar sign kept", "src/platform/Money.cpp",
     "    t.remove(QLatin1Char('$'));\n", "", "test_platform", "Money*:Value*"),
    ("money: thousands separators kept", "src/platform/Money.cpp",
     "    t.remove(QLatin1Char(','));\n", "", "test_platform", "Money*:Value*"),
    ("money: fifth decimal 5 rounds down", "src/platform/Money.cpp",
     "if (roundDigit >= 5)", "if (roundDigit > 5)", "test_platform", "Money*:Value*"),
    ("money: one unit above the maximum read", "src/platform/Money.cpp",
     "if (units > (negative ? kLimit : kLimit - 1))", "if (units > kLimit)", "test_platform", "Money*:Value*"),
    ("money: five decimals kept", "src/platform/Money.cpp",
     "} else if (fracDigits < 4) {", "} else if (fracDigits < 5) {", "test_platform", "Money*:Value*"),
    ("money: a whole number read as ten-thousandths", "src/platform/Value.cpp",
     "return Money::fromWhole(*i);", "return Money::fromUnits(*i);", "test_platform", "Money*:Value*:*Jet*"),
    ("money text: negative rounds toward zero", "src/app/base/MoneyText.cpp",
     "return units < kInt64Min + half ? kInt64Min : units - half;",
     "return units < kInt64Min + half ? kInt64Min : units + half;", "test_app_base", "Money*:Number*:Percent*"),
    ("money text: rounding half one place off", "src/app/base/MoneyText.cpp",
     "for (int i = decimals; i < 3; ++i)", "for (int i = decimals; i < 2; ++i)", "test_app_base",
     "Money*:Number*:Percent*"),
    ("money text: groups of four", "src/app/base/MoneyText.cpp",
     "if (digits > 0 && digits % 3 == 0)", "if (digits > 0 && digits % 4 == 0)", "test_app_base",
     "Money*:Number*:Percent*"),
    ("money text: half a cent rounds down", "src/app/base/MoneyText.cpp",
     "addHalfAwayFromZero(value.units(), 50);", "addHalfAwayFromZero(value.units(), 49);", "test_app_base",
     "Money*:Number*:Percent*"),
    # --- the Jet string functions
    ("InStrRev: match may end after start", "src/platform/db/jet/JetBuiltins.cpp",
     "const size_t at = hay.rfind(needle, size_t(start) - needle.size());",
     "const size_t at = hay.rfind(needle, size_t(start) - 1);", "test_platform", "*Jet*"),
    ("InStrRev: a needle longer than start", "src/platform/db/jet/JetBuiltins.cpp",
     "if (qint64(needle.size()) > start) {", "if (qint64(needle.size()) > start + 1) {", "test_platform", "*Jet*"),
    ("InStrRev: start 0 accepted", "src/platform/db/jet/JetBuiltins.cpp",
     "if (start == 0 || start < -1) {", "if (start < -1) {", "test_platform", "*Jet*"),
    ("InStr: start one off", "src/platform/db/jet/JetBuiltins.cpp",
     "const size_t at = hay.find(needle, size_t(start - 1));", "const size_t at = hay.find(needle, size_t(start));",
     "test_platform", "*Jet*"),
    ("LTrim takes tabs", "src/platform/db/jet/JetBuiltins.cpp",
     "while (Left && from < to && s[from] == QLatin1Char(' '))", "while (Left && from < to && s[from].isSpace())",
     "test_platform", "*Jet*"),
    ("RTrim takes line ends", "src/platform/db/jet/JetBuiltins.cpp",
     "while (Right && to > from && s[to - 1] == QLatin1Char(' '))",
     "while (Right && to > from && s[to - 1].isSpace())", "test_platform", "*Jet*"),
    ("Replace: steps one letter on", "src/platform/db/jet/JetBuiltins.cpp",
     "        from = at + find.size();\n", "        from = at + 1;\n", "test_platform", "*Jet*"),
    ("StrConv: proper case only after blanks", "src/platform/db/jet/JetBuiltins.cpp",
     "            wordStart = separator;\n", "            wordStart = c == QLatin1Char(' ');\n",
     "test_platform", "*Jet*"),
    ("Space: -1 accepted", "src/platform/db/jet/JetBuiltins.cpp",
     "    if (n < 0 || n > kMaxText) {\n        resultError(ctx, ErrInvalidCall);\n        return;\n    }\n"
     "    resultText(ctx, QString(qsizetype(n), QLatin1Char(' ')));",
     "    if (n < -1 || n > kMaxText) {\n        resultError(ctx, ErrInvalidCall);\n        return;\n    }\n"
     "    resultText(ctx, QString(qsizetype(n), QLatin1Char(' ')));", "test_platform", "*Jet*"),
    # --- the Jet date functions
    ("DateAdd: month end not held", "src/platform/db/jet/JetDates.cpp",
     "const int day = std::min(d.day(), QDate(year, month, 1).daysInMonth());", "const int day = d.day();",
     "test_platform", "*Jet*"),
    # --- print styles in pricing
    ("passes: signature counted as a turn", "src/estimating/CItemPriceQuantity.cpp",
     "const bool turned = printAs >= 2 && printAs <= 4;", "const bool turned = printAs >= 2 && printAs <= 5;",
     "test_estimating", "*PrintStyle*:*Pricing*"),
    ("passes: a turned perfector not doubled", "src/estimating/CItemPriceQuantity.cpp",
     "return CeilDiv(i1, k - 8) * (turned ? 2 : 1);", "return CeilDiv(i1, k - 8);", "test_estimating",
     "*PrintStyle*:*Pricing*"),
    ("run: work-and-turn up not made even", "src/estimating/CItemPriceQuantity.cpp",
     "f = double(S) / double(up & ~1);", "f = double(S) / double(up);", "test_estimating",
     "*PrintStyle*:*Pricing*"),
    ("run: signature remainder halved", "src/estimating/CItemPriceQuantity.cpp",
     "f += 1.0 / (double(up) / r);", "f += 1.0 / (double(up) / r) / 2;", "test_estimating",
     "*PrintStyle*:*Pricing*"),
    ("run: work-and-signature half filled counted over", "src/estimating/CItemPriceQuantity.cpp",
     "if (r > half) {", "if (r >= half) {", "test_estimating", "*PrintStyle*:*Pricing*"),
    ("run: work-and-signature exact half", "src/estimating/CItemPriceQuantity.cpp",
     "                else\n                    f += 0.5;", "                else\n                    f += 0.25;",
     "test_estimating", "*PrintStyle*:*Pricing*"),
    ("impressions: digital by finish size counts run", "src/estimating/CItemPriceQuantity.cpp",
     "impressions = finish * passes;", "impressions = run * passes;", "test_estimating", "*PrintStyle*:*Pricing*"),
    ("run length: signature read as regular", "src/estimating/CItemPriceQuantity.cpp",
     "length = qint64(double(length) / (double(up) / s) + 0.99);", "length = qint64(double(length) / up + 0.99);",
     "test_estimating", "*PrintStyle*:*Pricing*"),
    # --- job money, statements, the schedule
    ("taxable: a credit's items left out", "src/data/CJobSetMoney.cpp",
     '"(Price < -0.0001 OR Price > 0.0001))"', '"(Price > 0.0001))"', "test_data", "JobTablesTest.*:*JobMoney*"),
    ("statement: due today is past due", "src/printing/Statements.cpp",
     '" and Jobs.DatePayDue < %1"', '" and Jobs.DatePayDue <= %1"', "test_printing", "StatementTest.*"),
    ("schedule: today is late", "src/production/schedule/ScheduleLists.cpp",
     'QStringLiteral(" < Date() or ")', 'QStringLiteral(" <= Date() or ")', "test_production", "ScheduleTest.*"),
    ("schedule: the due date itself is late", "src/production/schedule/ScheduleLists.cpp",
     'QStringLiteral(" > Jobs.DateDue) ")', 'QStringLiteral(" >= Jobs.DateDue) ")', "test_production",
     "ScheduleTest.*"),
    # --- exchange texts
    ("mailbox: a dot at the very start kept", "src/exchange/mail/CEmailSocket.cpp",
     "    bool lineStart = true;\n    for (qsizetype i = 0; i < body.size(); ++i) {",
     "    bool lineStart = false;\n    for (qsizetype i = 0; i < body.size(); ++i) {", "test_exchange", "Mailbox*"),
    ("web order: a count at the Long maximum refused", "src/exchange/weborders/OrderNumbers.cpp",
     "if (value > INT_MAX)", "if (value >= INT_MAX)", "test_exchange", "WebOrders*"),
    ("web order: commas taken anywhere", "src/exchange/weborders/OrderNumbers.cpp",
     "return !text.isEmpty() && (!grouped || run == 3);", "return !text.isEmpty();", "test_exchange",
     "WebOrders*"),
    ("web order: a capital X not read", "src/exchange/weborders/OrderNumbers.cpp",
     "while (x < text.size() && text.at(x) != u'x' && text.at(x) != u'X')",
     "while (x < text.size() && text.at(x) != u'x')", "test_exchange", "WebOrders*"),
    ("web order: no copies accepted", "src/exchange/weborders/OrderNumbers.cpp",
     "return quantity > 0 || text.trimmed().isEmpty();", "return quantity >= 0 || text.trimmed().isEmpty();",
     "test_exchange", "WebOrders*"),
    ("web order: the last day refused", "src/exchange/weborders/OrderNumbers.cpp",
     "return due.isValid() && due <= QDate(9999, 12, 31);", "return due.isValid() && due < QDate(9999, 12, 31);",
     "test_exchange", "WebOrders*"),
    ("web order: an amount ending in a point", "src/exchange/weborders/OrderNumbers.cpp",
     "        if (fraction.isEmpty())\n            return false;\n", "", "test_exchange", "WebOrders*"),
    ("order more: the quoted quantity offered", "src/exchange/export/RtfFill.cpp",
     "if (q > chargeQty)", "if (q >= chargeQty)", "test_exchange", "OrderMore*:Rtf*"),
    ("order more: eleven offers", "src/exchange/export/RtfFill.cpp",
     "if (quantities.size() >= 10)", "if (quantities.size() >= 11)", "test_exchange", "OrderMore*:Rtf*"),
    ("order more: nine characters read", "src/exchange/export/RtfFill.cpp",
     "const QString head = word.left(8);", "const QString head = word.left(9);", "test_exchange",
     "OrderMore*:Rtf*"),
]


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def find_binary(build, target):
    for p in (build / "tests" / target, build / target):
        if p.exists():
            return p
    return build / "tests" / target


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.environ.get("TAVREL_BUILD_DIR", str(ROOT / "build")))
    ap.add_argument("--only", default="")
    ap.add_argument("--list", action="store_true")
    args = ap.parse_args()
    build = pathlib.Path(args.build)
    chosen = [m for m in MUTANTS if args.only in m[0]]
    if args.list:
        for m in chosen:
            print(f"{m[0]}  ({m[1]})")
        return 0
    if not (build / "build.ninja").exists():
        print(f"{build} is not configured: run scripts/build.sh first", file=sys.stderr)
        return 2
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    killed, survived, gone = [], [], []
    for name, rel, old, new, target, gfilter in chosen:
        path = ROOT / rel
        original = path.read_text()
        if original.count(old) != 1:
            gone.append(name)
            print(f"gone      {name}", flush=True)
            continue
        started = time.time()
        try:
            path.write_text(original.replace(old, new, 1))
            b = run(["cmake", "--build", str(build), "--target", target], cwd=ROOT)
            if b.returncode != 0:
                outcome = "killed"  # a mistake the compiler refuses counts as caught
            else:
                t = run([str(find_binary(build, target)), f"--gtest_filter={gfilter}", "--gtest_brief=1"],
                        cwd=build, env=env, timeout=900)
                outcome = "killed" if t.returncode != 0 else "survived"
        finally:
            path.write_text(original)
        (killed if outcome == "killed" else survived).append(name)
        print(f"{outcome:9} {name}  ({time.time() - started:.0f} s)", flush=True)
    # Rebuild what the last mistake left behind.
    run(["cmake", "--build", str(build)], cwd=ROOT)
    counted = len(killed) + len(survived)
    print(f"\n{len(killed)} of {counted} mistakes caught" + (f", {len(gone)} gone" if gone else ""))
    for name in survived:
        print(f"  survived: {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
