// The pass over a message's lines between extraction and save: placeholder
// lines are replaced by their attachment files.
#pragma once

#include <string>

namespace velmora {

class TLineList;

// IndexFileName is the index file of the folder being converted; its folder
// holds the Attachments folder.
void RunLinePass(TLineList& Lines, const std::string& IndexFileName);

} // namespace velmora
