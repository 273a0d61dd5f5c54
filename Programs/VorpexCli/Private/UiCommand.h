#pragma once

// `vorpex ui [PROJECT] [--viewport WxH] [--scale S]`: opens the project (the bundled one when
// none is given), spawns its editable character, begins editing it and builds the character
// editor over it with the programs' widget layouts, every section expanded, in a game viewport
// of W × H pixels at DPI scale S; lays it out, ticks it once and prints the laid-out widget
// tree as JSON on standard output (see FWidgetTreeJson).

#include "CoreMinimal.h"
#include "VorpexCommand.h"

#include <string>

class FUiCommand : public IVorpexCommand
{
public:
	/** The project or the editor's layouts could not be opened. */
	static constexpr int32 ExitBadInput = 1;

	CLI::App* Register(CLI::App& App) override;
	/** The viewport is two whole numbers of pixels from 1 to 16384; the scale a number from 0.25 to 8. */
	void Validate() const override;
	int32 Run(FHostEngine& Engine) override;

	/** "WxH" as a size: false unless both parts are whole numbers from 1 to 16384. */
	static bool ParseViewport(const std::string& Text, FIntPoint& OutSize);

private:
	std::string ProjectDir;
	std::string Viewport = "1280x720";
	double Scale = 1.0;
};
