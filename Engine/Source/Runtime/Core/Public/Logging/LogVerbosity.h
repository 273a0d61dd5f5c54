#pragma once

#include "CoreTypes.h"

namespace ELogVerbosity
{
	enum Type : uint8
	{
		NoLogging = 0,
		Fatal,
		Error,
		Warning,
		Display,
		Log,
		Verbose,
		VeryVerbose,
		All = VeryVerbose,
		NumVerbosity,
	};
}

/** The verbosity's name as the log line shows it ("Warning"). */
CORE_API const TCHAR* ToString(ELogVerbosity::Type Verbosity);
