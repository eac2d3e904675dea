#pragma once
// Start-up: installs the GUI's store host, allocates the packet store and
// fetches the default colours from the colour swatches.
void initStartup();
