#pragma once
// Start-up: installs the GUI's store host and allocates the packet store. The
// default colours are the protocol settings' own.
void initStartup();
