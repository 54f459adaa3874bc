// The windows' logging category.
#include "ui/logging.h"

Q_LOGGING_CATEGORY(lcUi, "vestra7.ui", QtWarningMsg)
