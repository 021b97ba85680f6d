// Placeholder until the command-line rules land.
