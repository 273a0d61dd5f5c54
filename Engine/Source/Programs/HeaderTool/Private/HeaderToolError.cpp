#include "HeaderToolError.h"

FHeaderToolError::FHeaderToolError(const std::string& File, int Line, const std::string& Reason)
	: std::runtime_error(Format(File, Line, Reason))
{
}

std::string FHeaderToolError::Format(const std::string& File, int Line, const std::string& Reason)
{
	const std::string Where = File.empty() ? std::string("HeaderTool") : File;
	if (Line > 0)
	{
		return Where + ":" + std::to_string(Line) + ": error: " + Reason;
	}
	return Where + ": error: " + Reason;
}
