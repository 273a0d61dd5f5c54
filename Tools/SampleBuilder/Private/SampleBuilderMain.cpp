// SampleBuilder: makes the bundled sample project (meshes, rig animation, textures, culling
// data and JSON files) from the CC0 human base mesh data.
//
//   SampleBuilder SOURCE_DIR PROJECT_DIR
//
// SOURCE_DIR holds base.obj, targets/ and rigs/; PROJECT_DIR receives project.json and
// Content/. The output depends only on the source files: two runs write the same bytes.

#include "SampleProjectBuilder.h"

#include "Misc/AssertionMacros.h"
#include "RenderingThread.h"

#include <cstdio>

namespace
{
	int Build(const FString& SourceDir, const FString& ProjectDir)
	{
		try
		{
			FString Error;
			if (!FSampleProjectBuilder::Build(SourceDir, ProjectDir, Error))
			{
				std::fprintf(stderr, "SampleBuilder: %s\n", *Error);
				return 1;
			}
			return 0;
		}
		catch (const FCheckFailure& Failure)
		{
			std::fprintf(stderr, "SampleBuilder: stopped by a failed check: %s\n", Failure.what());
			return 70;
		}
	}
}

int main(int argc, char** argv)
{
	if (argc != 3)
	{
		std::fprintf(stderr, "usage: SampleBuilder SOURCE_DIR PROJECT_DIR\n"
							 "  SOURCE_DIR   the human base mesh data (base.obj, targets/, rigs/)\n"
							 "  PROJECT_DIR  the project folder to write (project.json, Content/)\n");
		return 64;
	}
	const int Code = Build(FString(argv[1]), FString(argv[2]));
	// Rendering stops before main returns: a command still running at exit would race the
	// destruction of static objects, the driver's among them.
	StopRenderingThread();
	return Code;
}
