// What every "Custom..." button does: the warning question, then the page
// customization dialog of one topic with its sources from the core's table.
#pragma once

#include <string>
#include <string_view>

class QWidget;

namespace tp {

class FilePickers;
class MessageBoxes;
struct Settings;

// Asks whether to go on with a customization (No is the default), unless the
// setting "CustomWarnings" is off. True when the dialog may open.
bool ConfirmCustomization(QWidget* owner, MessageBoxes& boxes, bool customWarnings);

// The warning question (unless settings turn it off), then the customization
// dialog of topic ("Weather", "News", ...) with the topic's icon and template
// file names (the topic's settings values in memory) and its sources, which
// its Test checks under settings. True when it ended with Save: the two names
// are then updated in place, and the sources were stored.
bool EditTopicCustomization(QWidget* owner, MessageBoxes& boxes, const Settings& settings, std::string_view topic,
                            std::string& iconFile, std::string& templateFile);
// The same, with the file pickers given.
bool EditTopicCustomization(QWidget* owner, MessageBoxes& boxes, const Settings& settings, std::string_view topic,
                            std::string& iconFile, std::string& templateFile, FilePickers& pickers);

}  // namespace tp
