#pragma once

// Registers the renderers of the Key Reports that lay out more than one
// query with the report runner (posted sales summary and its two-tax step,
// day counts, job-number check, customer rankings, daily register, aging,
// posting accounting, company activities). A code that already has a
// renderer (or a two-tax step already registered) keeps it. Safe to call
// again.
void RegisterKeyReportRenderers();
