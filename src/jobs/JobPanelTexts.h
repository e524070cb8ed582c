#pragma once

#include "platform/Money.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <cstdint>

class CJobSet;

// The texts the job window shows for a job's header: the type label, the
// window caption, the status, the "When" panel, the totals and the balance
// panels. Nothing here touches a widget or the database; the window looks the
// names up and hands them in.

// A caption with the colour byte of its panel.
struct PanelCaption
{
    QString text;
    std::uint8_t colour = 0;
    bool operator==(const PanelCaption &other) const = default;
};

// Colour bytes of the panels besides the window's default.
constexpr std::uint8_t kWarningColour = 21;
constexpr std::uint8_t kCodColour = 23;
// Hue of the record bar for a credit invoice and a credited invoice.
constexpr int kCreditHue = 300;

// "Credit" for a credit invoice, "Credited" for an invoice that has been
// credited, otherwise the job type's name.
QString JobTypeLabel(const CJobSet &job);
// The hue of the record bar: the credit hue for credit and credited invoices,
// otherwise the window's hue.
int RecordBarHue(const CJobSet &job, int windowHue);

// An empty title takes the proposed one when the shop lets empty titles take
// the first item's description (setting text "1"). True when the title changed.
bool ApplyProposedTitle(CJobSet &job, const QString &proposed, const QString &emptyTitleSetting);

// Status name of a job type ("In History" for history jobs); "" for a status
// the type does not have.
QString JobStatusText(int jobType, int status);
// Picture of the status in the record bar's status button.
int JobStatusImage(int jobType, int status);

// The window caption: the type label, and for orders and history jobs the
// times the work order and the invoice have been printed.
QString JobWindowCaption(const CJobSet &job);

// The "When" panel's text.
QString JobWhenText(const CJobSet &job, const QString &csrName, const QString &shipByName,
                    const QString &statusText, const QString &originText);

// The "Job Totals" panel: the amounts, and its caption ("Negative Subtotal"
// as a warning when a job that is no credit has a subtotal below zero).
QString JobTotalsText(const CJobSet &job);
PanelCaption JobTotalsCaption(const CJobSet &job, std::uint8_t defaultColour);

// The "Balance" panel: total, paid, balance and the terms, and its caption,
// the first rule that matches the job.
QString JobBalanceText(const CJobSet &job, const QString &termsName);
PanelCaption JobBalanceCaption(const CJobSet &job, Money customerCreditDue, std::uint8_t defaultColour);
