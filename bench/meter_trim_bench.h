// kelvane-bench's output trim against a meter: readings per point against the clicks
// the same trim takes by hand.
#pragma once

namespace kelvane::bench {

// Trims both points of 100 simulated transmitters whose DACs lie up to ±300 counts
// from the counts they report, each against a meter that shows three decimals, and
// prints a Markdown table.
void meterTrimComparison();

}  // namespace kelvane::bench
