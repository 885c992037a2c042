#pragma once

#include <string_view>

namespace grumbol::platform {

// Tells the page what the game is doing ("dialog", "playing", "saved"...): the page shows
// its loading bar until the first word and the browser tests wait for these words. They
// land in the page's <body data-game="...">.
void TellPage(std::string_view state);

// Offers the file at `path` for download as `name`: a link in the page's bar (none when the
// file cannot be read).
void OfferDownload(std::string_view path, std::string_view name);

}  // namespace grumbol::platform
