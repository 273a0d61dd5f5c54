#include "CommandTable.h"

#include "ComposeCommand.h"
#include "CullCommand.h"
#include "EditCommand.h"
#include "GraphCommand.h"
#include "InspectCommand.h"
#include "StateCommand.h"
#include "StudioCommand.h"
#include "UiCommand.h"

TArray<TUniquePtr<IVorpexCommand>> FCommandTable::MakeCommands()
{
	TArray<TUniquePtr<IVorpexCommand>> Commands;
	Commands.Add(MakeUnique<FInspectCommand>());
	Commands.Add(MakeUnique<FGraphCommand>());
	Commands.Add(MakeUnique<FStateCommand>());
	Commands.Add(MakeUnique<FCullCommand>());
	Commands.Add(MakeUnique<FEditCommand>());
	Commands.Add(MakeUnique<FComposeCommand>());
	Commands.Add(MakeUnique<FUiCommand>());
	Commands.Add(MakeUnique<FStudioCommand>());
	return Commands;
}
