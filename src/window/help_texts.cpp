#include "window/help_texts.h"

#include "maker_info.h"

namespace veltro {

std::string aboutText() {
    return std::string(23, ' ') + "Veltro Virtual Control Panel " + kPanelVersion + "\r\n" +
           "Control software for the Veltro RF wattmeter, from " + kMakerName + ".";
}

std::string indexText() {
    return std::string("For help, refer to the Software section of the appropriate manual at ") +
           kManualUrl;
}

}  // namespace veltro
