#pragma once
// Every control handle of the main window: one struct per panel, declared beside the panel's
// layout. A new panel adds its struct here and its layout call to layoutMainWindow.
#include "ui/form/Form.h"
#include "ui/main/panels/BalancerPanel.h"
#include "ui/main/panels/BoardPanel.h"
#include "ui/main/panels/BroadcastPanel.h"
#include "ui/main/panels/CellPanel.h"
#include "ui/main/panels/ConfigPanel.h"
#include "ui/main/panels/CyclePanel.h"
#include "ui/main/panels/GridPanel.h"
#include "ui/main/panels/MeasurePanel.h"
#include "ui/main/panels/MonitorButtons.h"
#include "ui/main/panels/SelectionPanel.h"
#include "ui/main/panels/SelfTestPanel.h"
#include "ui/main/panels/StatusButton.h"
#include "ui/main/panels/TimedPanel.h"
#include "ui/main/panels/TransferLogPanel.h"
#include "ui/main/panels/WindowPanel.h"

namespace kb::ui {

struct MainControls final : WindowControls,
                            MonitorButtonControls,
                            BoardPanelControls,
                            CellPanelControls,
                            MeasurePanelControls,
                            BalancerPanelControls,
                            TransferLogControls,
                            BroadcastControls,
                            ConfigPanelControls,
                            GridPanelControls,
                            SelfTestControls,
                            SelectionControls,
                            StatusButtonControls,
                            CyclePanelControls,
                            TimedPanelControls {};

// Declares every control of the main window, panel by panel.
void layoutMainWindow(form::Form& f, MainControls& c);

}  // namespace kb::ui
