#pragma once

// The printed pages the estimating dialogs ask for: the cutting layout page
// (both stages of a paper's cuts) of the cutting layout dialog, and the price
// list of an item with its paper, press and sides as headings.
void InstallEstimatingPrints();
