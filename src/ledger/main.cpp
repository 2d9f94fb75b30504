// tallyhawk-ledger: imports record files into one database.
int main() { return 0; }
