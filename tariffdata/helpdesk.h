#pragma once
// The product help desk and the carrier's web address, as every window quotes them.

inline constexpr const char* kHelpDeskPhone = "1-800-555-0147";
inline constexpr const char* kHelpDeskEmail = "quotehelp@norvalefreight.example";
inline constexpr const char* kCarrierWebAddress = "www.norvalefreight.example";
