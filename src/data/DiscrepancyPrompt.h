#pragma once

// Asks which discrepancy the job lists should look for: a dialog titled
// "Discrepancies" with the radio group "Find jobs where:" and seven entries,
// the first one chosen. Returns the chosen entry (1 to 7), or 0 when the user
// cancels.
int AskDiscrepancyCheck();
