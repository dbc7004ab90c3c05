#!/usr/bin/python3
"""Reads an exported file back with the usual parser of its format and prints
what it found as JSON, for the export tests to compare.

    read_back.py csv FILE       rows of the table (BOM and ";" expected)
    read_back.py vcard FILE     cards: a dict of property -> list of values
    read_back.py ical FILE      events: uid, start date, all-day flag, summary, description
    read_back.py places FILE    GPX waypoints or KML placemarks: name, description, lat, lon
"""
import csv
import json
import sys
import xml.etree.ElementTree as ET


def read_csv(path):
    with open(path, 'rb') as f:
        if not f.read(3) == b'\xef\xbb\xbf':
            raise SystemExit('no byte-order mark')
    with open(path, encoding='utf-8-sig', newline='') as f:
        return list(csv.reader(f, delimiter=';', quotechar='"'))


def read_vcard(path):
    import vobject
    cards = []
    with open(path, encoding='utf-8', newline='') as f:
        text = f.read()
    # vobject reads GEO as vCard 3.0 text and cuts the geo: URI of 4.0 at its
    # comma; the URI is taken as written instead.
    raw_geo = []
    for line in text.replace('\r\n ', '').split('\r\n'):
        if line == 'BEGIN:VCARD':
            raw_geo.append([])
        elif line.startswith('GEO'):
            name, params, value, group = vobject.base.parseLine(line)
            raw_geo[-1].append(value)
    for index, card in enumerate(vobject.readComponents(text)):
            found = {}
            for line in card.getChildren():
                value = line.value
                if line.name == 'ADR':
                    value = [value.box, value.extended, value.street, value.city,
                             value.region, value.code, value.country]
                elif line.name == 'ORG':
                    value = value[0] if isinstance(value, list) else value
                found.setdefault(line.name, []).append(value)
            if raw_geo[index]:
                found['GEO'] = raw_geo[index]
            cards.append(found)
    return cards


def read_ical(path):
    import vobject
    with open(path, encoding='utf-8', newline='') as f:
        calendar = vobject.readOne(f.read())
    events = []
    for event in calendar.vevent_list:
        start = event.dtstart.value
        events.append({
            'uid': event.uid.value,
            'start': start.isoformat(),
            'end': event.dtend.value.isoformat(),
            'all_day': not hasattr(start, 'hour'),
            'summary': event.summary.value,
            'description': event.description.value,
        })
    return {'version': calendar.version.value, 'events': events}


def read_places(path):
    root = ET.parse(path).getroot()
    places = []
    if root.tag.endswith('gpx'):
        ns = {'g': 'http://www.topografix.com/GPX/1/1'}
        for wpt in root.findall('g:wpt', ns):
            places.append({'name': wpt.findtext('g:name', '', ns), 'description': wpt.findtext('g:desc', '', ns),
                           'lat': float(wpt.get('lat')), 'lon': float(wpt.get('lon'))})
    else:
        ns = {'k': 'http://www.opengis.net/kml/2.2'}
        for mark in root.iter('{http://www.opengis.net/kml/2.2}Placemark'):
            lon, lat = mark.findtext('k:Point/k:coordinates', '', ns).split(',')[:2]
            places.append({'name': mark.findtext('k:name', '', ns),
                           'description': mark.findtext('k:description', '', ns),
                           'lat': float(lat), 'lon': float(lon)})
    return places


readers = {'csv': read_csv, 'vcard': read_vcard, 'ical': read_ical, 'places': read_places}
json.dump(readers[sys.argv[1]](sys.argv[2]), sys.stdout, ensure_ascii=False)
