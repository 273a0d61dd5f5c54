#pragma once

// `vorpex cull build --mesh OBJECT_PATH --points FILE --out FILE.json [PROJECT]`: opens the
// project (the bundled sample when none is given), builds the vertex cache of the skeletal mesh
// at OBJECT_PATH from a points file with the plug-in's own cull-data build
// (UHCAttachmentVertexCacheData::BuildData), and writes it as the data asset's JSON
// (FVertexCacheJson), which the content loader reads back as a UHCAttachmentVertexCacheData.
// FILE is relative to the project's Content folder, or absolute; the cache names it relative to
// Content when it lies there, so a cache in the project does not depend on where the project
// lies. Standard output gets one line: how many vertices the cache hides, and the file written.

#include "CoreMinimal.h"
#include "VorpexCommand.h"

#include <string>

class FCullCommand : public IVorpexCommand
{
public:
	/** What the command line gave. */
	struct FOptions
	{
		std::string Mesh;
		std::string Points;
		std::string Out;
		/** Empty for the bundled project. */
		std::string ProjectDir;
	};

	/** The project, the mesh or the points file could not be loaded, or the output could not be written. */
	static constexpr int32 ExitBuildFailed = 1;

	CLI::App* Register(CLI::App& App) override;
	/** The output is a .json file, the only kind the content loader reads as a data asset. */
	void Validate() const override;
	/** Starts the Vorpex module through opening the project. */
	int32 Run(FHostEngine& Engine) override;

private:
	FOptions Options;
};
