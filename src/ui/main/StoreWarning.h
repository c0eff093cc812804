#pragma once
#include <QString>

struct StoreTrouble;

// What the operator is told at start-up when the per-user store's file could
// not be used, in the interface language; empty when there is nothing to tell.
QString StoreTroubleText(const StoreTrouble& trouble);
// Shows that text in one warning box, if there is one.
void TellStoreTrouble(const StoreTrouble& trouble);
