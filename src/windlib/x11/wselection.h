// X selections: PRIMARY and the clipboards "CLIPBOARD", "CLIPBOARD_S",
// "CLIPBOARD_C" and "CLIPBOARD_CS". Owning one keeps a copy of the bytes and
// their type; other programs get them as STRING, UTF8_STRING or TEXT (and
// the TARGETS list), in pieces (INCR) when they are large. Requests are
// answered asynchronously. Without a display the selections live in this
// process only, with the same calls.
#pragma once

#include <functional>
#include <string>

// Selection types as the editor keeps them with the bytes.
enum WSelectionType {
  kWSelText = 1,
  kWSelLines = 3,
  kWSelRectangle = 4,
};

enum class WSelectionTarget {
  String,  // the bytes as they are (STRING)
  Utf8,    // UTF8_STRING, for text from programs that use it
  // UTF8_STRING, and from an owner that gives only STRING its Latin-1
  // converted to UTF-8: text for a view that reads UTF-8.
  Utf8Text,
};

// Owns selection `name` with a copy of `bytes`. False when the server gave
// it to nobody (or the name is empty).
bool WSelectionOwn(const std::string& name, const std::string& bytes, int type = kWSelText);
// Gives the selection up, if this process owns it.
void WSelectionDisown(const std::string& name);
// True while this process owns `name`; gives its bytes and type.
bool WSelectionOwned(const std::string& name, std::string* bytes = nullptr, int* type = nullptr);

// Asks for the contents of `name`. `done(ok, bytes)` runs later from the
// event loop, never inside this call: with the process's own copy when it
// owns the selection, else with the converted contents, or with ok false
// when nobody owns it, the owner refuses, or the transfer stalls. A STRING
// request that the owner refuses is retried as UTF8_STRING and the other
// way round.
using WSelectionDone = std::function<void(bool ok, const std::string& bytes)>;
void WSelectionRequest(const std::string& name, WSelectionDone done,
                       WSelectionTarget target = WSelectionTarget::String);

// Told when another program takes a selection this process owned.
void WSelectionSetLostHook(std::function<void(const std::string& name)> hook);

// Transfers in progress (both ways), for tests and diagnostics.
int WSelectionTransfersInProgress();
