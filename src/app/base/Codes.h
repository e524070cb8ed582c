#pragma once

#include <cstdint>

// The small number ranges many areas decide by, held in one place: kinds of
// service categories, groups of list state images, and the inks and sides a
// printed item uses.

// --- Service categories (CatNo of a service) --------------------------------
bool IsCategory6(std::int32_t catNo);                 // plate
bool IsCategory7(std::int32_t catNo);                 // proof
bool IsPaperCategory(std::int32_t catNo);             // 101..199
bool IsCategory105(std::int32_t catNo);               // carbonless paper
bool IsCategory113To116(std::int32_t catNo);          // envelopes
bool IsPaperCategoryNot113To116(std::int32_t catNo);  // paper other than envelopes
bool IsPressCategory(std::int32_t catNo);             // 201..299 offset press
bool IsDigitalCategory(std::int32_t catNo);           // 301..399 digital printer or copier
bool IsPrintingCategory(std::int32_t catNo);          // press or digital (300 is neither)
bool IsCategory999(std::int32_t catNo);               // quick sale

// --- List images (state images of list rows and cells) ----------------------
// 48..95 are four groups of twelve state images; 96..101 and 139..145 are
// single extra states.
bool IsListImage48To59(std::int32_t image);
bool IsListImage60To71(std::int32_t image);  // also 96 and 99
bool IsListImage84To95(std::int32_t image);  // also 98 and 101
bool IsListImage48To95(std::int32_t image);
bool IsListImage96To98(std::int32_t image);
bool IsListImage99To101(std::int32_t image);
bool IsListImage48To101(std::int32_t image);
bool IsListImage139To145(std::int32_t image); // also what IsListImage60To71 accepts
bool IsCodeGroup24To35(std::int32_t code);
bool IsCategory213Or214(std::int32_t image); // the two check-box images
bool IsCategory215Or216(std::int32_t image); // the two radio-button images
bool IsCategory216(std::int32_t image);
bool IsCategory221(std::int32_t image);
bool IsCategory222(std::int32_t image);
bool IsCategory221Or222(std::int32_t image); // the two mark images of a schedule row

// --- Printed sides ----------------------------------------------------------
// A side colours code: 0 not printed, 1 black, 2..5 black and 1..4 colours,
// 6..17 one to twelve colours.

// Inks of one side: 0 for 0, the code for 1..5, the code less 5 from 6 on.
int GetInkCount(std::uint8_t sideColors);
int GetTotalInkCount(std::uint8_t side1, std::uint8_t side2);
// 2 when both sides print, 1 when one does, 0 when none.
int GetSidesPrinted(std::uint8_t side1, std::uint8_t side2);
// 0 none, 1 black, 2 black / black, 3 colour, 4 colour / black, 5 colour /
// colour; the larger code counts as the first side, and only code 1 is black.
int GetHowSidesPrinted(std::uint8_t side1, std::uint8_t side2);
// Property-grid image numbers of the shared image list.
std::uint8_t GetInkImageIndex(std::uint8_t sideColors);
std::uint8_t GetSidesImageIndex(std::uint8_t side1, std::uint8_t side2);
std::uint8_t GetUnitImageIndex(std::uint8_t quantityUnit);
