Pagewarden
	News
		Daily
	Prices
