#pragma once

// `vorpex graph SKIN [--config CONFIG] [--content DIR] [--run OUT_DIR]`: builds the texture
// editing model of a skin composition (and, with an editor configuration, its controller) and
// prints the processor graphs as JSON on standard output. SKIN and CONFIG are content object
// paths ("/Game/Data/Skin") or .json files inside the mounted content folder. With --run, one
// batch runs (after every picker has given its start colour) and every stack's result is
// written as OUT_DIR/<component>_<stack>_<stack name>.png.

#include "CoreMinimal.h"
#include "VorpexCommand.h"

#include <string>

class FGraphCommand : public IVorpexCommand
{
public:
	struct FOptions
	{
		std::string Skin;
		std::string Config;
		std::string ContentDir;
		std::string RunDir;
	};

	static constexpr int32 ExitLoadFailed = 1;
	static constexpr int32 ExitGraphFailed = 2;

	CLI::App* Register(CLI::App& App) override;
	/** Starts the Vorpex module, whose shaders the graphs run. */
	int32 Run(FHostEngine& Engine) override;

private:
	FOptions Options;
};
