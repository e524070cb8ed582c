#pragma once

// Wires the exchange area into the program at start-up: the list views' and
// dialogs' export command and the customers view's address labels.
void InstallExchange();
