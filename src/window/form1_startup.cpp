// The start-up: the panel loads config.ini and plans, the window takes its
// stored frame, the panel applies the rest and opens the port.
#include "platform/message_box.h"
#include "window/form1.h"

namespace veltro {

void Form1::Form_Activate() {
    // A window closed while its start-up was still queued starts nothing:
    // it would publish "Active" = "Y" after the unload's "N".
    if (!isVisible()) {
        return;
    }
    const std::optional<StartupPlan> plan = panel_.beginStartup();
    showControls();
    if (!plan) {
        return;
    }
    placeStoredFrame(plan->frame.left, plan->frame.top, plan->frame.height);
    showStep(panel_.finishStartup(*plan));
}

void Form1::showStep(const PanelStep& step) {
    showControls();
    // Last: the start-up ends when the operator closes it.
    if (step.message && services_.messageBox != nullptr) {
        services_.messageBox->show(*step.message);
    }
}

}  // namespace veltro
