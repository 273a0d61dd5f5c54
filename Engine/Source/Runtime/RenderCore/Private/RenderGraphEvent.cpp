#include "RenderGraphEvent.h"

#include "RenderGraphBuilder.h"

#include <cstdarg>

FRDGEventName::FRDGEventName(const TCHAR* EventFormat, ...)
{
	va_list Arguments;
	va_start(Arguments, EventFormat);
	Text = FString::PrintfV(EventFormat, Arguments);
	va_end(Arguments);
}

FRDGEventScopeGuard::FRDGEventScopeGuard(FRDGBuilder& InGraphBuilder, FRDGEventName&& ScopeName)
	: GraphBuilder(InGraphBuilder)
{
	GraphBuilder.BeginEventScope(std::move(ScopeName));
}

FRDGEventScopeGuard::~FRDGEventScopeGuard()
{
	GraphBuilder.EndEventScope();
}

FRDGGPUStatScopeGuard::FRDGGPUStatScopeGuard(FRDGBuilder& InGraphBuilder, FGPUStat& Stat)
	: GraphBuilder(InGraphBuilder)
{
	GraphBuilder.BeginGPUStatScope(Stat);
}

FRDGGPUStatScopeGuard::~FRDGGPUStatScopeGuard()
{
	GraphBuilder.EndGPUStatScope();
}
