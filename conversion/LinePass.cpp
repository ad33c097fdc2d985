#include "conversion/LinePass.h"

#include "conversion/LineList.h"

namespace velmora {

void RunLinePass(TLineList& /*Lines*/, const std::string& /*IndexFileName*/) {
    // Attachments are put back here.
}

} // namespace velmora
