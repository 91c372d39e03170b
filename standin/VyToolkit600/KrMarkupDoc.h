// How KrMarkup loads and reads a document, for readers of small documents in the toolkit library
// that walk the tree directly instead of through a markup's cursors. Private to the library.
#pragma once

#include "VyBase600/TovoMBString.h"

#include <pugixml.hpp>

#include <cstddef>

namespace KRS {
namespace markupdoc {

// Texts below this size are neither kept for the next markup nor taken over from the last one:
// KrMarkup(text) then gives exactly the tree Load gives.
constexpr std::size_t kMinKeptText = 4096;

// Loads a whole text as KrMarkup does; a text that is not well formed, or does not hold exactly
// one root element, leaves the document empty (FALSE).
bool Load(pugi::xml_document& doc, const TOVO::TovoMBString& strDoc);
// The first element child; null when none.
pugi::xml_node FirstElement(const pugi::xml_node& parent);
// An element's text content, as GetData gives it.
TOVO::TovoMBString DataOf(const pugi::xml_node& node);

} // namespace markupdoc
} // namespace KRS
