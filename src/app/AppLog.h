#pragma once
#include <QLoggingCategory>

// "quadrovia.app": start-up, paths, settings, the finishing of cut-off
// recordings. Warnings and up by default; see media/MediaLog.h for more.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
