#include "media/MediaLog.h"

Q_LOGGING_CATEGORY(lcMedia, "quadrovia.media", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStream, "quadrovia.stream", QtWarningMsg)
