// The main of test programs that render: it runs the tests, then stops the render thread before
// main returns, as an engine's shutdown does. A command still running at exit would race the
// destruction of static objects, the driver's among them (a first command loads the driver, whose
// statics are registered after every exit hook of the program and so are destroyed first).

#include "RenderingThread.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
	testing::InitGoogleTest(&argc, argv);
	const int Result = RUN_ALL_TESTS();
	StopRenderingThread();
	return Result;
}
