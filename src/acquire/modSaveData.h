#pragma once
// "Save Da&taset": writes the held packets, oldest first, as a nivora dataset
// or, for a name ending in .pcap, as a pcap capture.
void saveDataset();
