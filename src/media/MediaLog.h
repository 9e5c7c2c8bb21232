#pragma once
#include <QLoggingCategory>

// The media layer's log categories. Warnings and errors are on by default
// (Qt's handler writes them to standard error, which the journal keeps for a
// program started from the desktop's menu); more with, for example,
// QT_LOGGING_RULES="quadrovia.*.info=true;quadrovia.media.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcMedia)   // "quadrovia.media": graphs, their buses, devices
Q_DECLARE_LOGGING_CATEGORY(lcStream)  // "quadrovia.stream": the live stream's clients
