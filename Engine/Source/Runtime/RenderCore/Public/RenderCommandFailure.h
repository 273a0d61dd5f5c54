#pragma once

// The failure of a render command, raised on the game thread by the next flush or fence wait
// after the command failed wherever it ran. It keeps the failed check's own text (expression,
// message, file, line), so callers that catch FCheckFailure see the check as written; what()
// adds the command's name.

#include "CoreTypes.h"
#include "Misc/AssertionMacros.h"

#include <string>

class RENDERCORE_API FRenderCommandFailure : public FCheckFailure
{
public:
	/**
	 * Description is what the command threw, as its what() read ("Assertion failed: X" for a
	 * check). For an exception other than a failed check, Expression is empty and Message holds
	 * the exception's text.
	 */
	FRenderCommandFailure(std::string InCommandName, std::string InExpression, std::string InMessage, const char* InFile, int32 InLine,
		const std::string& Description);

	/** The name the command was enqueued under (ENQUEUE_RENDER_COMMAND's argument). */
	const std::string& GetCommandName() const { return CommandName; }

	/** "Render command 'Name' failed: " followed by what the command threw. */
	const char* what() const noexcept override { return Report.c_str(); }

private:
	std::string CommandName;
	std::string Report;
};
