#include "RenderCommandFailure.h"

FRenderCommandFailure::FRenderCommandFailure(std::string InCommandName, std::string InExpression, std::string InMessage,
	const char* InFile, int32 InLine, const std::string& Description)
	: FCheckFailure(std::move(InExpression), std::move(InMessage), InFile, InLine)
	, CommandName(std::move(InCommandName))
	, Report("Render command '" + CommandName + "' failed: " + Description)
{
}
