#include "Controllers/ImageProcessor/HCImageProcessorBatch.h"

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "RenderGraphBuilder.h"
#include "RenderingThread.h"

void FHCImageProcessorBatch::Run(const TArray<UHCImageProcessor*>& Roots)
{
	for (UHCImageProcessor* Root : Roots)
	{
		if (Root)
		{
			Root->Prepare();
		}
	}
	HCImageProcessorExecuteContext_GameThread GameThreadContext;
	for (UHCImageProcessor* Root : Roots)
	{
		if (Root)
		{
			Root->Execute(GameThreadContext);
		}
	}

	ENQUEUE_RENDER_COMMAND(SceneDrawCompletion)(
		[Roots](FRHICommandListImmediate& RHICmdList)
		{
			// This batch's own start: the marks an earlier batch left, or a Prepare of a later one
			// cleared half-way, do not decide which inputs run here.
			for (UHCImageProcessor* Root : Roots)
			{
				if (Root)
				{
					Root->ResetRenderThreadMarks();
				}
			}
			try
			{
				FRDGBuilder GraphBuilder(RHICmdList);
				HCImageProcessorExecuteContext_RenderThread RenderThreadContext(GraphBuilder);
				for (UHCImageProcessor* Root : Roots)
				{
					if (Root)
					{
						Root->Execute(RenderThreadContext);
					}
				}
				GraphBuilder.Execute();
			}
			catch (...)
			{
				// Results whose passes were set up but may not have run must not be kept later.
				for (UHCImageProcessor* Root : Roots)
				{
					if (Root)
					{
						Root->ForgetResultSources();
					}
				}
				throw;
			}
		});
}
